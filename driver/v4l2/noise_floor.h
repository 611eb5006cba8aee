// The signal an empty channel reads on this device. Most drivers report 0 there, but si476x and
// wl128x report (rssi + 128) x 257, so silence reads about 32896: levels count from the floor.
#ifndef HALVANE_DRIVER_V4L2_NOISE_FLOOR_H
#define HALVANE_DRIVER_V4L2_NOISE_FLOOR_H

#include <cstdint>
#include <optional>

namespace halvane::driver::v4l2 {

class NoiseFloor {
 public:
  void Reset() { floor_.reset(); }
  // The signal (0..65535) of a channel a seek found empty.
  void Sample(uint32_t signal);
  // 0 strongest .. 15 nothing above the floor (0 until a channel was found empty).
  int LevelOf(uint32_t signal) const;

 private:
  std::optional<uint32_t> floor_;  // the weakest empty channel seen
};

}  // namespace halvane::driver::v4l2

#endif
