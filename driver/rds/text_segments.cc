#include "rds/text_segments.h"

#include "rds/station_state.h"

namespace halvane::driver::rds {

void FeedSegment(WholeText& text, int index, uint16_t blockC, uint16_t blockD, bool intact) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(blockC >> 8), static_cast<uint8_t>(blockC & 0xFF),
                            static_cast<uint8_t>(blockD >> 8), static_cast<uint8_t>(blockD & 0xFF)};
  text.Offer(static_cast<size_t>(index), bytes, intact);
}

void ProgrammeTypeName::Feed(const ReceivedGroup& group) {
  if (!group.usable[2] || !group.usable[3]) return;
  const uint16_t b = group.blocks[1];
  const bool ab = (b & 0x10) != 0;
  if (!ab_) ab_ = ab;
  abChange_.Offer(ab, false);
  if (ab != *ab_) {
    if (abChange_.shown() != ab) return;  // perhaps a new name, perhaps a damaged block B
    text_.StartOver();  // a new name: none of the old one may show through, the old one stays
    ab_ = ab;
  }
  FeedSegment(text_, b & 1, group.blocks[2], group.blocks[3],
              group.Intact(1) && group.Intact(2) && group.Intact(3));
}

void DecodeProgrammeTypeName(const ReceivedGroup& group, StationState& station) {
  if (!IsVersionB(group.blocks[1])) station.ptyName.Feed(group);
}

void DecodeLongPs(const ReceivedGroup& group, StationState& station) {
  if (IsVersionB(group.blocks[1]) || !group.usable[2] || !group.usable[3]) return;
  FeedSegment(station.longPs, group.blocks[1] & 0x07, group.blocks[2], group.blocks[3],
              group.Intact(1) && group.Intact(2) && group.Intact(3));
}

}  // namespace halvane::driver::rds
