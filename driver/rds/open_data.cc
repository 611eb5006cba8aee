#include "rds/open_data.h"

#include "rds/station_state.h"

namespace halvane::driver::rds {
namespace {

// A station registering more applications than this is broken; the newest are dropped.
constexpr size_t kMaxApplications = 16;

}  // namespace

void OdaRegistry::Feed(uint16_t blockB, uint16_t blockD, bool intact) {
  if (candidates_.size() >= kMaxApplications && !candidates_.contains(blockD)) return;
  const int groupType = blockB & 0x1F;
  if (candidates_[blockD].Offer(groupType, intact)) applications_[blockD] = groupType;
}

std::optional<int> OdaRegistry::GroupTypeOf(uint16_t aid) const {
  const auto found = applications_.find(aid);
  if (found == applications_.end()) return std::nullopt;
  return found->second;
}

void DecodeApplicationRegistry(const ReceivedGroup& group, StationState& station) {
  if (IsVersionB(group.blocks[1]) || !group.usable[3]) return;
  station.applications.Feed(group.blocks[1], group.blocks[3], group.Intact(1) && group.Intact(3));
}

void DecodeOpenData(const ReceivedGroup& group, StationState& station) {
  const uint16_t b = group.blocks[1];
  const int typeIndex = GroupTypeCode(b) * 2 + (IsVersionB(b) ? 1 : 0);
  if (station.applications.GroupTypeOf(kRadioTextPlusAid) == typeIndex) {
    station.radioTextPlus.Feed(group, station.radioText.text);
  }
}

}  // namespace halvane::driver::rds
