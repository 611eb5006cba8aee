#include "rds/slow_labelling.h"

#include "rds/station_state.h"

namespace halvane::driver::rds {
namespace {

constexpr int kEccVariant = 0;
constexpr int kLanguageVariant = 3;

}  // namespace

std::optional<ProgrammeItem> DecodeProgrammeItem(uint16_t blockD) {
  const ProgrammeItem item{blockD >> 11, (blockD >> 6) & 0x1F, blockD & 0x3F};
  if (item.day == 0 || item.hour > 23 || item.minute > 59) return std::nullopt;
  return item;
}

void SlowLabelling::Feed(std::optional<uint16_t> blockC, bool intactC,
                         std::optional<uint16_t> blockD, bool intactD) {
  if (blockC) {
    const int variant = (*blockC >> 12) & 7;
    if (variant == kEccVariant) ecc_.Offer(static_cast<uint8_t>(*blockC & 0xFF), intactC);
    if (variant == kLanguageVariant) {
      language_.Offer(static_cast<uint16_t>(*blockC & 0x0FFF), intactC);
    }
  }
  if (blockD) {
    if (const auto item = DecodeProgrammeItem(*blockD)) item_.Offer(*item, intactD);
  }
}

void DecodeSlowLabelling(const ReceivedGroup& group, StationState& station) {
  // 1B carries the PI in block C' and only the item number in D.
  const bool versionB = IsVersionB(group.blocks[1]);
  const auto block = [&](int index) {
    return group.usable[index] ? std::optional<uint16_t>(group.blocks[index]) : std::nullopt;
  };
  const bool intactB = group.Intact(1);
  station.labelling.Feed(versionB ? std::nullopt : block(2), intactB && group.Intact(2), block(3),
                         intactB && group.Intact(3));
}

}  // namespace halvane::driver::rds
