#include "rds/other_networks.h"

#include "rds/group.h"
#include "rds/station_state.h"

namespace halvane::driver::rds {
namespace {

constexpr int kLastPsVariant = 3;
constexpr int kAfVariant = 4;
constexpr int kFirstMappedVariant = 5;
constexpr int kLastMappedVariant = 9;
constexpr int kLinkageVariant = 12;
constexpr int kPtyTaVariant = 13;
// A network is kept once it said anything; a station telling of more than this many is
// broken, and the newest are dropped.
constexpr size_t kMaxNetworks = 32;

}  // namespace

std::optional<std::array<uint8_t, 8>> OtherNetwork::Ps() const {
  std::array<uint8_t, 8> name{};
  for (size_t i = 0; i < psSegments.size(); ++i) {
    if (!psSegments[i].shown()) return std::nullopt;
    name[2 * i] = (*psSegments[i].shown())[0];
    name[2 * i + 1] = (*psSegments[i].shown())[1];
  }
  return name;
}

void OtherNetworks::Feed(const ReceivedGroup& group) {
  if (!group.usable[3]) return;  // the other programme's PI
  const uint16_t pi = group.blocks[3];
  const bool known = networks_.contains(pi);
  if (!known && (!group.Intact(3) || networks_.size() >= kMaxNetworks)) return;
  OtherNetwork& on = networks_[pi];
  const uint16_t b = group.blocks[1];
  on.tp.Offer((b & 0x10) != 0, false);
  if (IsVersionB(b)) {
    on.ta.Offer((b & 0x08) != 0, false);
    return;
  }
  if (!group.usable[2]) return;
  const int variant = b & 0x0F;
  const uint16_t info = group.blocks[2];
  const bool intact = group.Intact(1) && group.Intact(2) && group.Intact(3);
  if (variant <= kLastPsVariant) {
    on.psSegments[static_cast<size_t>(variant)].Offer(
        {static_cast<uint8_t>(info >> 8), static_cast<uint8_t>(info & 0xFF)}, intact);
  } else if (variant == kAfVariant) {
    on.afs.Feed(info, true, intact);
  } else if (variant >= kFirstMappedVariant && variant <= kLastMappedVariant) {
    const auto tuned = AfFrequency(static_cast<uint8_t>(info >> 8), false);
    const auto other = AfFrequency(static_cast<uint8_t>(info & 0xFF), false);
    if (tuned && other) on.mapped[*tuned].Offer(*other, intact);
  } else if (variant == kLinkageVariant) {
    on.linkage.Offer(info, intact);
  } else if (variant == kPtyTaVariant) {
    on.pty.Offer(static_cast<uint8_t>(info >> 11), false);
    on.ta.Offer((info & 1) != 0, false);
  }
}

void DecodeOtherNetworks(const ReceivedGroup& group, StationState& station) {
  station.otherNetworks.Feed(group);
}

void OtherNetworks::AnnouncementEnded(uint16_t pi) {
  const auto found = networks_.find(pi);
  if (found == networks_.end()) return;
  found->second.ta.Reset();
  found->second.ta.Offer(false, true);
}

bool OtherNetworks::TrafficAnnounced() const {
  for (const auto& [pi, on] : networks_) {
    if (on.tp.shown().value_or(false) && on.ta.shown().value_or(false)) return true;
  }
  return false;
}

}  // namespace halvane::driver::rds
