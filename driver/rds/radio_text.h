// Groups 2A and 2B: RadioText, four (2A) or two (2B) characters a group, and the text A/B flag
// that announces a new message.
#ifndef HALVANE_DRIVER_RDS_RADIO_TEXT_H
#define HALVANE_DRIVER_RDS_RADIO_TEXT_H

#include <array>
#include <cstdint>
#include <optional>

#include "rds/confirmation.h"
#include "rds/received_group.h"

namespace halvane::driver::rds {

struct StationState;

struct RadioTextState {
  // The flag of the message being assembled: the first one received is taken; a change only
  // once two groups in a row carry it, so one damaged block B never wipes the text.
  std::optional<bool> ab;
  Confirmed<bool> abChange;
  ConfirmedText<64> text;
  // What the group announcing a new message carried, taken over once the change is confirmed.
  ConfirmedText<64> nextText;
  std::array<uint8_t, 64> next{};
};

void DecodeRadioText(const ReceivedGroup& group, StationState& station);

}  // namespace halvane::driver::rds

#endif
