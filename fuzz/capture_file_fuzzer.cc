// The simulated driver's capture file parser. Whatever the text: it fails with a message and a
// line inside the text, or gives at least one group, and each group written back in the file's
// own format reads back as the same group.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "band/capture_file.h"
#include "properties.h"

namespace {

using namespace halvane::driver::band;

using fuzzing::Fail;
using fuzzing::LineCount;

std::string Written(const std::vector<CapturedGroup>& groups) {
  std::string out = "# written back\r\n";
  char block[8];
  for (const CapturedGroup& g : groups) {
    for (size_t i = 0; i < g.size(); ++i) {
      if (g[i]) {
        std::snprintf(block, sizeof block, "%04X", static_cast<unsigned>(*g[i]));
      } else {
        std::snprintf(block, sizeof block, "----");
      }
      out += block;
      out += i + 1 < g.size() ? " " : "\r\n";
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = ParseCaptureFile(text);
  if (!parsed.ok()) {
    if (parsed.error.empty()) Fail("a failure without a message");
    if (parsed.line < 0 || parsed.line > LineCount(text)) Fail("a failure on a line past the end");
    return 0;
  }
  if (parsed.value->empty()) Fail("a recording without a group was accepted");
  const auto again = ParseCaptureFile(Written(*parsed.value));
  if (!again.ok() || *again.value != *parsed.value) Fail("groups written back read differently");
  return 0;
}
