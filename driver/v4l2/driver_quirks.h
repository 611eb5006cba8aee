// What some kernel radio drivers do differently from the V4L2 interface's description, found by
// the driver name VIDIOC_QUERYCAP reports (`v4l2-ctl --info`, "Driver name").
#ifndef HALVANE_DRIVER_V4L2_DRIVER_QUIRKS_H
#define HALVANE_DRIVER_V4L2_DRIVER_QUIRKS_H

#include <linux/videodev2.h>

namespace halvane::driver::v4l2 {

struct DriverQuirks {
  // si476x takes a seek's spacing for a count of its 62.5 Hz units (100 kHz becomes 6.25 MHz):
  // it gets 0 and seeks with its own default step.
  bool misreadsSeekSpacing = false;
  // wl128x never flags an RDS block as corrected or in error: the name and text accept a
  // segment only once it came twice alike.
  bool neverFlagsBlockErrors = false;
};

DriverQuirks QuirksOf(const v4l2_capability& capabilities);

}  // namespace halvane::driver::v4l2

#endif
