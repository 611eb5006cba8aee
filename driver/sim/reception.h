// What the receiver picks up from a station: its groups as 26-bit blocks, damaged in proportion
// to the station's level.
#ifndef HALVANE_DRIVER_SIM_RECEPTION_H
#define HALVANE_DRIVER_SIM_RECEPTION_H

#include <cstdint>

#include "band/station.h"
#include "rds/group_decoder.h"

namespace halvane::driver::sim {

// Each block of a station at level L is hit with probability L x 4 % (level 0 is clean, level 14
// loses more than half). A hit is one burst of 1 to kMaxErrorBurst bits. Bursts of up to 5 bits
// are what the block code corrects; a longer burst stands for damage the decoder detects. The
// code would take about a third of long bursts for short ones and "correct" them into wrong
// data; the simulation draws only long bursts it detects, so a weak station's text arrives slowly
// and with gaps, but is never wrong.
inline constexpr int kBlockErrorPercentPerLevel = 4;
inline constexpr int kMaxErrorBurst = 8;

// Group n of the station's RDS as received (n counts from the tune). A recorded capture is
// replayed in a loop; its lost blocks stay lost.
// `level` is the station's level when the group arrives.
// `offsetMs`: the radio ran this long before group 0 (its traffic schedule counts from the start).
rds::AirGroup ReceiveGroup(const band::Station& station, uint64_t n, int level,
                           int64_t offsetMs = 0);

// The error pattern for block `block` of group n at `level`; 0 when the block arrives intact.
uint32_t ReceptionError(int level, uint64_t seed, uint64_t n, int block);

}  // namespace halvane::driver::sim

#endif
