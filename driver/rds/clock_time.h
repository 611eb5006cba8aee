// Group 4A: the station's clock, sent at the start of each minute as a Modified Julian Day, the
// UTC hour and minute, and the local time offset in half hours.
#ifndef HALVANE_DRIVER_RDS_CLOCK_TIME_H
#define HALVANE_DRIVER_RDS_CLOCK_TIME_H

#include <cstdint>
#include <optional>
#include <string>

#include "rds/received_group.h"

namespace halvane::driver::rds {

struct ClockTime {
  int64_t mjd = 0;  // Modified Julian Day of the UTC date
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;   // UTC
  int minute = 0;
  int offsetHalfHours = 0;  // local time = UTC + this x 30 min

  bool operator==(const ClockTime&) const = default;
};

// Blocks B, C and D of a 4A group; none for a time no clock shows (hour 24 and beyond, minute
// 60 and beyond, an offset beyond 14 hours, a day before 1900 or after 2099).
std::optional<ClockTime> DecodeClockTime(uint16_t blockB, uint16_t blockC, uint16_t blockD);

struct StationState;

// The clock as shown, and the clock group received last to confirm the next one by.
struct ClockState {
  std::optional<ClockTime> shown;
  std::optional<ClockTime> last;
};

// Group 4A. A clock from blocks that needed no correction shows at once; one from corrected
// blocks once it follows the one before within a few minutes with the same offset (clock groups
// come once a minute, so two alike never come).
void DecodeClock(const ReceivedGroup& group, StationState& station);

// The local time as "2026-12-07 20:50 +01:00".
std::string LocalTimeText(const ClockTime& clock);

}  // namespace halvane::driver::rds

#endif
