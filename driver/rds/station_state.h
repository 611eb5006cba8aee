// Everything the group decoder keeps about the station being received: what the record shows,
// and beside it each group type's own state (its values waiting for confirmation). Clearing the
// station clears all of it at once, so a group type's state lives here and nowhere else.
#ifndef HALVANE_DRIVER_RDS_STATION_STATE_H
#define HALVANE_DRIVER_RDS_STATION_STATE_H

#include "rds/af_codes.h"
#include "rds/basic_tuning.h"
#include "rds/clock_time.h"
#include "rds/confirmation.h"
#include "rds/open_data.h"
#include "rds/other_networks.h"
#include "rds/radio_text.h"
#include "rds/radiotext_plus.h"
#include "rds/rds_data.h"
#include "rds/slow_labelling.h"
#include "rds/text_segments.h"

namespace halvane::driver::rds {

struct StationState {
  StationState();

  RdsData shown;
  // Carried in every group.
  Confirmed<uint8_t> pty;
  Confirmed<bool> tp;
  BasicTuningState basicTuning;
  RadioTextState radioText;
  // Beyond what the record shows.
  AfListDecoder afs;                                     // 0A
  SlowLabelling labelling;                               // 1A
  OdaRegistry applications;                              // 3A
  RadioTextPlus radioTextPlus;                           // where 3A registers it
  ClockState clock;                                      // 4A
  ProgrammeTypeName ptyName;                             // 10A
  OtherNetworks otherNetworks;                           // 14A, 14B
  WholeText longPs{8, 4, TextEnd::CarriageReturnOrNul};  // 15A
};

}  // namespace halvane::driver::rds

#endif
