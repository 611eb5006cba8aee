#include "driver_clock.h"

#include <time.h>

#include <utility>

namespace halvane::driver {

int64_t MonotonicMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
}

DriverClock::DriverClock(std::function<int64_t()> monotonic) : monotonic_(std::move(monotonic)) {}

int64_t DriverClock::NowMs() const { return manual_ ? manualNow_ : monotonic_() + offset_; }

void DriverClock::UseManual(bool on) {
  if (on == manual_) return;
  if (on) {
    manualNow_ = NowMs();
  } else {
    offset_ = manualNow_ - monotonic_();
  }
  manual_ = on;
}

void DriverClock::Advance(int64_t ms) {
  if (ms <= 0) return;
  if (manual_) {
    manualNow_ += ms;
  } else {
    offset_ += ms;
  }
}

}  // namespace halvane::driver
