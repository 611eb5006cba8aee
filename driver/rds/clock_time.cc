#include "rds/clock_time.h"

#include <cstdio>

#include "rds/station_state.h"

namespace halvane::driver::rds {
namespace {

constexpr int kMaxOffsetHalfHours = 28;
constexpr int kMinutesPerDay = 24 * 60;

struct Date {
  int year, month, day;
};

// Day counts from 1858-11-17 (MJD 0) to a civil date, by days since 1970-01-01.
Date CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

constexpr int64_t kMjdOfUnixEpoch = 40587;
// Successive clock groups a minute apart agree; a later one may have been lost.
constexpr int64_t kMaxClockStepMinutes = 3;

int64_t MinutesOf(const ClockTime& clock) {
  return clock.mjd * kMinutesPerDay + clock.hour * 60 + clock.minute;
}

}  // namespace

std::optional<ClockTime> DecodeClockTime(uint16_t blockB, uint16_t blockC, uint16_t blockD) {
  const int64_t mjd = (int64_t{blockB & 0x03} << 15) | (blockC >> 1);
  const int hour = ((blockC & 1) << 4) | (blockD >> 12);
  const int minute = (blockD >> 6) & 0x3F;
  const int offset = blockD & 0x1F;
  if (hour > 23 || minute > 59 || offset > kMaxOffsetHalfHours) return std::nullopt;
  const Date date = CivilFromDays(mjd - kMjdOfUnixEpoch);
  if (date.year < 1900 || date.year > 2099) return std::nullopt;
  return ClockTime{
      mjd, date.year, date.month, date.day, hour, minute, (blockD & 0x20) != 0 ? -offset : offset};
}

void DecodeClock(const ReceivedGroup& group, StationState& station) {
  if (IsVersionB(group.blocks[1]) || !group.usable[2] || !group.usable[3]) return;
  const auto clock = DecodeClockTime(group.blocks[1], group.blocks[2], group.blocks[3]);
  if (!clock) return;  // no time a clock shows: what was shown stays
  ClockState& state = station.clock;
  const auto follows = [&](const std::optional<ClockTime>& before) {
    if (!before || before->offsetHalfHours != clock->offsetHalfHours) return false;
    const int64_t step = MinutesOf(*clock) - MinutesOf(*before);
    return step >= 0 && step <= kMaxClockStepMinutes;
  };
  const bool intact = group.Intact(1) && group.Intact(2) && group.Intact(3);
  if (intact || follows(state.shown) || follows(state.last)) state.shown = clock;
  state.last = clock;
}

std::string LocalTimeText(const ClockTime& clock) {
  const int64_t minutes =
      clock.mjd * kMinutesPerDay + clock.hour * 60 + clock.minute + clock.offsetHalfHours * 30;
  const Date local = CivilFromDays(minutes / kMinutesPerDay - kMjdOfUnixEpoch);
  const int64_t ofDay = minutes % kMinutesPerDay;
  const int absOffset = clock.offsetHalfHours < 0 ? -clock.offsetHalfHours : clock.offsetHalfHours;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d %c%02d:%02d", local.year, local.month,
                local.day, static_cast<int>(ofDay / 60), static_cast<int>(ofDay % 60),
                clock.offsetHalfHours < 0 ? '-' : '+', absOffset / 2, absOffset % 2 * 30);
  return text;
}

}  // namespace halvane::driver::rds
