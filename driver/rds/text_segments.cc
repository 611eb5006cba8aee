#include "rds/text_segments.h"

#include "rds/station_state.h"

namespace halvane::driver::rds {
namespace {

constexpr uint8_t kCarriageReturn = 0x0D;

}  // namespace

void SegmentedText::Feed(int index, uint16_t blockC, uint16_t blockD, bool intact) {
  if (index < 0 || static_cast<size_t>(index) >= segments_.size()) return;
  segments_[static_cast<size_t>(index)].Offer(
      {static_cast<uint8_t>(blockC >> 8), static_cast<uint8_t>(blockC & 0xFF),
       static_cast<uint8_t>(blockD >> 8), static_cast<uint8_t>(blockD & 0xFF)},
      intact);
}

void SegmentedText::Clear() {
  for (auto& segment : segments_) segment.Reset();
}

std::optional<std::vector<uint8_t>> SegmentedText::Text() const {
  std::vector<uint8_t> text;
  for (const auto& segment : segments_) {
    if (!segment.shown()) return std::nullopt;
    for (uint8_t byte : *segment.shown()) {
      if (byte == kCarriageReturn || byte == 0) return text;
      text.push_back(byte);
    }
  }
  return text;
}

void ProgrammeTypeName::Feed(const ReceivedGroup& group) {
  if (!group.usable[2] || !group.usable[3]) return;
  const uint16_t b = group.blocks[1];
  const bool ab = (b & 0x10) != 0;
  if (!ab_) ab_ = ab;
  abChange_.Offer(ab, false);
  if (ab != *ab_) {
    if (abChange_.shown() != ab) return;  // perhaps a new name, perhaps a damaged block B
    text_.Clear();                        // a new name: none of the old one may show through
    ab_ = ab;
  }
  text_.Feed(b & 1, group.blocks[2], group.blocks[3],
             group.Intact(1) && group.Intact(2) && group.Intact(3));
}

void DecodeProgrammeTypeName(const ReceivedGroup& group, StationState& station) {
  if (!IsVersionB(group.blocks[1])) station.ptyName.Feed(group);
}

void DecodeLongPs(const ReceivedGroup& group, StationState& station) {
  if (IsVersionB(group.blocks[1]) || !group.usable[2] || !group.usable[3]) return;
  station.longPs.Feed(group.blocks[1] & 0x07, group.blocks[2], group.blocks[3],
                      group.Intact(1) && group.Intact(2) && group.Intact(3));
}

}  // namespace halvane::driver::rds
