// Groups 0A and 0B: the traffic announcement and music/speech flags, the programme service
// name two characters at a time, and (0A) the alternative frequencies.
#ifndef HALVANE_DRIVER_RDS_BASIC_TUNING_H
#define HALVANE_DRIVER_RDS_BASIC_TUNING_H

#include "rds/confirmation.h"
#include "rds/received_group.h"
#include "rds/whole_text.h"

namespace halvane::driver::rds {

struct StationState;

struct BasicTuningState {
  Confirmed<bool> ta;
  Confirmed<bool> ms;
  WholeText ps{4, 2, TextEnd::None};  // shown once all four pairs are in
};

void DecodeBasicTuning(const ReceivedGroup& group, StationState& station);

}  // namespace halvane::driver::rds

#endif
