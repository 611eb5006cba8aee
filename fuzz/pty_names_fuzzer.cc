// "RDS.ini" and "RBDS.ini" through LoadPtyNames. Whatever the file holds: the only error is the
// one for a known key without "=", every name is valid UTF-8 and is either a built-in name or a
// value the file gave, codes 0 and 32 to 255 answer nothing, and the RBDS set leaves codes 24 to
// 28 as the RDS load before it left them.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_dirs.h"
#include "halvane/errors.h"
#include "pty/mod_rds_pty_strings.h"
#include "pty/pty_tables.h"
#include "runtime/codepage.h"
#include "runtime/text_file.h"

namespace {

using halvane::ModRdsPtyStrings;
using Names = std::array<std::string, 32>;

bool IsBuiltIn(int code, const std::string& name) {
  for (auto set : {halvane::RdsPtyDefaults(), halvane::RbdsPtyDefaults()})
    for (const auto& row : set)
      if (row.code == code && row.name == name) return true;
  return false;
}

// Loads one set; answers whether the load ended early on a known key without a value.
bool Load(ModRdsPtyStrings& pty, bool rbds, const std::string& folder) {
  try {
    pty.LoadPtyNames(rbds, folder);
    return false;
  } catch (const halvane::RuntimeError& e) {
    if (e.number() != halvane::kSubscriptRange)
      fuzzing::Fail("LoadPtyNames raised error " + std::to_string(e.number()));
    return true;
  }
}

void CheckNames(const ModRdsPtyStrings& pty, const std::string& decodedFile) {
  for (int code = 0; code < 32; ++code) {
    const std::string& name = pty.PtyNames()[code];
    if (!halvane::IsValidUtf8(name)) fuzzing::Fail("a name is not valid UTF-8");
    if (code == 0 && !name.empty()) fuzzing::Fail("code 0 got a name");
    if (!name.empty() && !IsBuiltIn(code, name) && decodedFile.find(name) == std::string::npos)
      fuzzing::Fail("code " + std::to_string(code) + " holds a name from nowhere");
  }
  for (int code = 0; code < 256; ++code) {
    const std::string name = pty.PtyName(static_cast<int16_t>(code));
    if ((code == 0 || code > 31) && !name.empty()) fuzzing::Fail("a code outside 1..31 has a name");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::ScratchRoot();
  return 0;
}

// Input: one byte choosing the order of the two loads (bit 0: RBDS first), then the bytes that
// both "RDS.ini" and "RBDS.ini" hold.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool rbdsFirst = data[0] & 1;
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string config = fuzzing::FreshFolder("config");
  fuzzing::WriteFileBytes(config + std::string(halvane::kRdsNamesFile), file);
  fuzzing::WriteFileBytes(config + std::string(halvane::kRbdsNamesFile), file);
  // Names come from decoded lines, so each one is a piece of the file as decoded line by line.
  std::string decoded;
  for (auto line : halvane::SplitLines(file)) decoded += halvane::DecodeFileText(line) + "\n";

  ModRdsPtyStrings pty;
  const bool stopped = Load(pty, rbdsFirst, config);
  CheckNames(pty, decoded);
  const Names afterFirst = pty.PtyNames();

  // Loading the same file again gives the same table: nothing depends on what was there before,
  // except the RBDS set's five untouched codes.
  ModRdsPtyStrings fresh = pty;
  if (Load(fresh, rbdsFirst, config) != stopped) fuzzing::Fail("a second load ended differently");
  if (fresh.PtyNames() != afterFirst) fuzzing::Fail("a second load gave other names");

  Load(pty, !rbdsFirst, config);
  CheckNames(pty, decoded);
  if (!rbdsFirst) {
    for (int code = 24; code <= 28; ++code)
      if (pty.PtyNames()[code] != afterFirst[code])
        fuzzing::Fail("the RBDS set changed code " + std::to_string(code));
  }
  return 0;
}
