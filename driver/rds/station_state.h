// Everything the group decoder keeps about the station being received: what the record shows,
// and beside it each group type's own state (its values waiting for confirmation). Clearing the
// station clears all of it at once, so a group type's state lives here and nowhere else.
#ifndef HALVANE_DRIVER_RDS_STATION_STATE_H
#define HALVANE_DRIVER_RDS_STATION_STATE_H

#include "rds/basic_tuning.h"
#include "rds/confirmation.h"
#include "rds/radio_text.h"
#include "rds/rds_data.h"

namespace halvane::driver::rds {

struct StationState {
  StationState();

  RdsData shown;
  // Carried in every group.
  Confirmed<uint8_t> pty;
  Confirmed<bool> tp;
  BasicTuningState basicTuning;
  RadioTextState radioText;
};

}  // namespace halvane::driver::rds

#endif
