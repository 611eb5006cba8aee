#include "rds/other_networks.h"

#include "rds/group.h"

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
    if (!psSegments[i].confirmed()) return std::nullopt;
    name[2 * i] = (*psSegments[i].confirmed())[0];
    name[2 * i + 1] = (*psSegments[i].confirmed())[1];
  }
  return name;
}

void OtherNetworks::Feed(uint16_t blockB, std::optional<uint16_t> blockC,
                         std::optional<uint16_t> blockD) {
  if (!blockD) return;  // the other programme's PI
  if (networks_.size() >= kMaxNetworks && !networks_.contains(*blockD)) return;
  OtherNetwork& on = networks_[*blockD];
  on.tp.Offer((blockB & 0x10) != 0);
  if (IsVersionB(blockB)) {
    on.ta.Offer((blockB & 0x08) != 0);
    return;
  }
  if (!blockC) return;
  const int variant = blockB & 0x0F;
  const uint16_t info = *blockC;
  if (variant <= kLastPsVariant) {
    on.psSegments[static_cast<size_t>(variant)].Offer(
        {static_cast<uint8_t>(info >> 8), static_cast<uint8_t>(info & 0xFF)});
  } else if (variant == kAfVariant) {
    on.afs.Feed(info, true);
  } else if (variant >= kFirstMappedVariant && variant <= kLastMappedVariant) {
    const auto tuned = AfFrequency(static_cast<uint8_t>(info >> 8), false);
    const auto other = AfFrequency(static_cast<uint8_t>(info & 0xFF), false);
    if (tuned && other) on.mapped[*tuned] = *other;
  } else if (variant == kLinkageVariant) {
    on.linkage.Offer(info);
  } else if (variant == kPtyTaVariant) {
    on.pty.Offer(static_cast<uint8_t>(info >> 11));
    on.ta.Offer((info & 1) != 0);
  }
}

bool OtherNetworks::TrafficAnnounced() const {
  for (const auto& [pi, on] : networks_) {
    if (on.tp.confirmed().value_or(false) && on.ta.confirmed().value_or(false)) return true;
  }
  return false;
}

}  // namespace halvane::driver::rds
