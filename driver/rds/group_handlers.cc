#include "rds/group_handlers.h"

#include <array>

#include "rds/basic_tuning.h"
#include "rds/clock_time.h"
#include "rds/open_data.h"
#include "rds/other_networks.h"
#include "rds/radio_text.h"
#include "rds/slow_labelling.h"
#include "rds/text_segments.h"

namespace halvane::driver::rds {
namespace {

enum class Version { A, B, Both };

struct HandlerEntry {
  int typeCode;
  Version version;
  GroupHandler handler;
};

// One row per group type decoded. Types open data applications may use go to the application
// registered on them.
constexpr HandlerEntry kHandlers[] = {
    {0, Version::Both, DecodeBasicTuning},
    {1, Version::Both, DecodeSlowLabelling},
    {2, Version::Both, DecodeRadioText},
    {3, Version::A, DecodeApplicationRegistry},
    {3, Version::B, DecodeOpenData},
    {4, Version::A, DecodeClock},
    {4, Version::B, DecodeOpenData},
    {5, Version::Both, DecodeOpenData},
    {6, Version::Both, DecodeOpenData},
    {7, Version::Both, DecodeOpenData},
    {8, Version::Both, DecodeOpenData},
    {9, Version::Both, DecodeOpenData},
    {10, Version::A, DecodeProgrammeTypeName},
    {10, Version::B, DecodeOpenData},
    {11, Version::Both, DecodeOpenData},
    {12, Version::Both, DecodeOpenData},
    {13, Version::Both, DecodeOpenData},
    {14, Version::Both, DecodeOtherNetworks},
    {15, Version::A, DecodeLongPs},
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
