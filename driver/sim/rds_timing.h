// RDS runs at 1187.5 bit/s with 104 bits a group: 208 000 / 2375 ms (about 87.58 ms) per group.
// Integer arithmetic throughout, so no rounding drift builds up over hours.
#ifndef HALVANE_DRIVER_SIM_RDS_TIMING_H
#define HALVANE_DRIVER_SIM_RDS_TIMING_H

#include <cstdint>

namespace halvane::driver::sim {

// Group duration as the fraction kGroupMsNumerator / kGroupMsDenominator milliseconds.
inline constexpr int64_t kGroupMsNumerator = 104 * 2000;  // bits per group x 2000
inline constexpr int64_t kGroupMsDenominator = 2375;      // 1187.5 bit/s x 2

// Milliseconds after the stream's start at which group n (from 0) has fully arrived.
constexpr int64_t GroupArrivalMs(uint64_t n) {
  const int64_t scaled = (static_cast<int64_t>(n) + 1) * kGroupMsNumerator;
  return (scaled + kGroupMsDenominator - 1) / kGroupMsDenominator;
}

// How many groups have fully arrived `elapsedMs` after the stream's start.
constexpr uint64_t GroupsArrived(int64_t elapsedMs) {
  return elapsedMs <= 0
             ? 0
             : static_cast<uint64_t>(elapsedMs * kGroupMsDenominator / kGroupMsNumerator);
}

}  // namespace halvane::driver::sim

#endif
