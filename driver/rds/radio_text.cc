#include "rds/radio_text.h"

#include "rds/charset.h"
#include "rds/station_state.h"

namespace halvane::driver::rds {

namespace {

// Offers the text of `group` to `text`, whose characters so far are in `shown`.
void OfferText(const ReceivedGroup& group, ConfirmedText<64>& text,
               std::array<uint8_t, 64>& shown) {
  const uint16_t b = group.blocks[1];
  const size_t segment = b & 15;
  const bool blockBIntact = !group.corrected[1];
  if (IsVersionB(b)) {
    if (group.usable[3]) {
      text.Offer(segment, group.blocks[3], blockBIntact && !group.corrected[3], shown);
    }
    return;
  }
  for (int block : {2, 3}) {
    if (!group.usable[block]) continue;
    text.Offer(2 * segment + static_cast<size_t>(block - 2), group.blocks[block],
               blockBIntact && !group.corrected[block], shown);
  }
}

}  // namespace

void DecodeRadioText(const ReceivedGroup& group, StationState& station) {
  RadioTextState& state = station.radioText;
  RdsData& shown = station.shown;
  const bool ab = (group.blocks[1] >> 4) & 1;
  if (!state.ab) state.ab = ab;
  // Offered on every group, so a flag must come twice in a row to count as confirmed.
  state.abChange.Offer(ab, false);
  if (ab != *state.ab) {
    if (state.abChange.shown() != ab) {
      // Perhaps a new message, perhaps a damaged block B: its text is kept aside.
      state.nextText.Reset();
      state.next.fill(kBlank);
      OfferText(group, state.nextText, state.next);
      return;
    }
    // A new message: the old one must not show through.
    state.ab = ab;
    state.text = state.nextText;
    shown.rt = state.next;
  }
  OfferText(group, state.text, shown.rt);
}

}  // namespace halvane::driver::rds
