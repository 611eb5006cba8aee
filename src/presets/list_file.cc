#include "presets/list_file.h"

#include "halvane/errors.h"
#include "runtime/fields.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {

constexpr char kHeaderSeparator = '|';

}  // namespace

ListHeader ReadListHeader(std::string_view line) {
  ListHeader header;
  // Each reading is its own step: a field out of range leaves only that field unread.
  if (line.find(kHeaderSeparator) != std::string_view::npos) {
    auto fields = SplitFields(line, kHeaderSeparator);
    if (fields.size() > 1) IgnoreErrors([&] { header.value2 = ToInt32(LeadingNumber(fields[1])); });
    if (fields.size() > 2) IgnoreErrors([&] { header.value3 = ToInt32(LeadingNumber(fields[2])); });
  }
  IgnoreErrors([&] { header.startFreq = ToInt16(LeadingNumber(line)); });
  return header;
}

std::string ListHeaderLine(int32_t freq, int32_t value2, int32_t value3) {
  return std::to_string(freq) + kHeaderSeparator + std::to_string(value2) + kHeaderSeparator +
         std::to_string(value3);
}

}  // namespace halvane
