// For devices that never flag a damaged RDS block: a group carrying part of the station's name
// (group 0) or RadioText (group 2) goes on only when the same segment came alike the time
// before, so a block the chip got wrong never reaches the record. Other groups add nothing the
// record shows that groups 0 and 2 do not carry (PI, programme type, TP), and one with a damaged
// block B would show a wrong programme type: they are held back.
#ifndef HALVANE_DRIVER_V4L2_SEGMENT_CONFIRMATION_H
#define HALVANE_DRIVER_V4L2_SEGMENT_CONFIRMATION_H

#include <array>
#include <cstdint>
#include <map>

#include "rds/group_decoder.h"

namespace halvane::driver::v4l2 {

class SegmentConfirmation {
 public:
  void Reset() { last_.clear(); }
  // True when `group` may go to the decoder.
  bool Confirm(const rds::ReceivedGroup& group);

 private:
  // Block B, C and D as they matter for the segment (0 for a block it does not use), and which
  // of them were usable.
  using Content = std::array<uint32_t, 3>;
  std::map<uint32_t, Content> last_;  // by group type, version and segment address
};

}  // namespace halvane::driver::v4l2

#endif
