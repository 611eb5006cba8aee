#include "rds/group_handlers.h"

#include <array>

#include "rds/basic_tuning.h"
#include "rds/radio_text.h"

namespace halvane::driver::rds {
namespace {

enum class Version { A, B, Both };

struct HandlerEntry {
  int typeCode;
  Version version;
  GroupHandler handler;
};

// One row per group type decoded.
constexpr HandlerEntry kHandlers[] = {
    {0, Version::Both, DecodeBasicTuning},
    {2, Version::Both, DecodeRadioText},
};

// Indexed by type code times two plus one for version B.
std::array<GroupHandler, 32> BuildTable() {
  std::array<GroupHandler, 32> table{};
  for (const HandlerEntry& entry : kHandlers) {
    if (entry.version != Version::B) table[2 * entry.typeCode] = entry.handler;
    if (entry.version != Version::A) table[2 * entry.typeCode + 1] = entry.handler;
  }
  return table;
}

}  // namespace

GroupHandler HandlerFor(int typeCode, bool versionB) {
  static const std::array<GroupHandler, 32> table = BuildTable();
  return table[static_cast<size_t>(typeCode & 15) * 2 + (versionB ? 1 : 0)];
}

}  // namespace halvane::driver::rds
