// The driver's notion of time, in milliseconds. It follows CLOCK_MONOTONIC, or, for tests, moves
// only when told to. It never runs backwards, whichever way it is switched.
#ifndef HALVANE_DRIVER_DRIVER_CLOCK_H
#define HALVANE_DRIVER_DRIVER_CLOCK_H

#include <cstdint>
#include <functional>

namespace halvane::driver {

int64_t MonotonicMs();

class DriverClock {
 public:
  explicit DriverClock(std::function<int64_t()> monotonic = MonotonicMs);

  int64_t NowMs() const;

  // On: time stands still until Advance. Off: time follows the monotonic source again, going on
  // from where the manual clock stood.
  void UseManual(bool on);
  bool manual() const { return manual_; }

  // Moves time forward by `ms` in either mode; a negative step is ignored.
  void Advance(int64_t ms);

 private:
  std::function<int64_t()> monotonic_;
  bool manual_ = false;
  int64_t manualNow_ = 0;
  int64_t offset_ = 0;  // added to the monotonic source
};

}  // namespace halvane::driver

#endif
