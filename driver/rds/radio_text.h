// Groups 2A and 2B: RadioText, four (2A) or two (2B) characters a group, and the text A/B flag
// that announces a new message.
#ifndef HALVANE_DRIVER_RDS_RADIO_TEXT_H
#define HALVANE_DRIVER_RDS_RADIO_TEXT_H

#include <optional>

#include "rds/confirmation.h"
#include "rds/received_group.h"
#include "rds/whole_text.h"

namespace halvane::driver::rds {

struct StationState;

struct RadioTextState {
  // The flag of the message being assembled: the first one received is taken; a change only
  // once two groups in a row carry it, so one damaged block B never wipes the text.
  std::optional<bool> ab;
  Confirmed<bool> abChange;
  // A message shows once whole: every block up to its 0x0D, or all of them.
  WholeText text{32, 2, TextEnd::CarriageReturn};
  // What the group announcing a new message carried, taken over once the change is confirmed.
  WholeText next{32, 2, TextEnd::CarriageReturn};
};

void DecodeRadioText(const ReceivedGroup& group, StationState& station);

}  // namespace halvane::driver::rds

#endif
