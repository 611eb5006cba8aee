// Group 4A: the station's clock, sent at the start of each minute as a Modified Julian Day, the
// UTC hour and minute, and the local time offset in half hours.
#ifndef HALVANE_DRIVER_RDS_CLOCK_TIME_H
#define HALVANE_DRIVER_RDS_CLOCK_TIME_H

#include <cstdint>
#include <optional>
#include <string>

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

// The local time as "2026-12-07 20:50 +01:00".
std::string LocalTimeText(const ClockTime& clock);

}  // namespace halvane::driver::rds

#endif
