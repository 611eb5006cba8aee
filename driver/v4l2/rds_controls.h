// RDS from a device that decodes it itself and offers the result as controls
// (V4L2_CID_RDS_RX_*): name, text, programme type and the TA, TP and MS flags. The controls
// carry no PI: the record then holds PI 0.
#ifndef HALVANE_DRIVER_V4L2_RDS_CONTROLS_H
#define HALVANE_DRIVER_V4L2_RDS_CONTROLS_H

#include "rds/group_decoder.h"
#include "v4l2/radio_device.h"

namespace halvane::driver::v4l2 {

// Fills `data` from the controls; a control the device lacks reads as empty or 0. Returns 0, or
// the errno of the call that failed otherwise. `received` tells whether name or text hold
// anything.
int ReadRdsControls(RadioDevice& device, rds::RdsData& data, bool& received);

}  // namespace halvane::driver::v4l2

#endif
