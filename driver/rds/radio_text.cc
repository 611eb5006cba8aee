#include "rds/radio_text.h"

#include <algorithm>

#include "rds/station_state.h"

namespace halvane::driver::rds {

namespace {

constexpr size_t kVersionBBlocks = 16;  // 2B carries 32 characters, one block a group

// Offers the text of `group` to `text`.
void OfferText(const ReceivedGroup& group, WholeText& text) {
  const uint16_t b = group.blocks[1];
  const size_t segment = b & 15;
  const bool blockBIntact = !group.corrected[1];
  if (IsVersionB(b)) {
    text.SetLimit(kVersionBBlocks);
    if (group.usable[3]) {
      text.OfferWord(segment, group.blocks[3], blockBIntact && !group.corrected[3]);
    }
    return;
  }
  text.SetLimit(2 * kVersionBBlocks);
  for (int block : {2, 3}) {
    if (!group.usable[block]) continue;
    text.OfferWord(2 * segment + static_cast<size_t>(block - 2), group.blocks[block],
                   blockBIntact && !group.corrected[block]);
  }
}

}  // namespace

void DecodeRadioText(const ReceivedGroup& group, StationState& station) {
  RadioTextState& state = station.radioText;
  const bool ab = (group.blocks[1] >> 4) & 1;
  if (!state.ab) state.ab = ab;
  // Offered on every group, so a flag must come twice in a row to count as confirmed.
  state.abChange.Offer(ab, false);
  if (ab != *state.ab) {
    if (state.abChange.shown() != ab) {
      // Perhaps a new message, perhaps a damaged block B: its text is kept aside.
      state.next.StartOver();
      OfferText(group, state.next);
      return;
    }
    // A new message: none of the old one may show through; the old one shows until it is whole.
    state.ab = ab;
    state.text.TakeOver(state.next);
  }
  OfferText(group, state.text);
  if (const auto& whole = state.text.whole()) {
    std::copy(whole->begin(), whole->end(), station.shown.rt.begin());
  }
}

}  // namespace halvane::driver::rds
