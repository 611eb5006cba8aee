#include "v4l2/noise_floor.h"

#include <algorithm>

namespace halvane::driver::v4l2 {
namespace {

constexpr uint32_t kFullScale = 65535;
constexpr uint32_t kNoLevel = 15;

}  // namespace

void NoiseFloor::Sample(uint32_t signal) {
  signal = std::min(signal, kFullScale);
  floor_ = floor_ ? std::min(*floor_, signal) : signal;
}

int NoiseFloor::LevelOf(uint32_t signal) const {
  const uint32_t floor = floor_.value_or(0);
  signal = std::min(signal, kFullScale);
  if (signal <= floor || floor >= kFullScale) return kNoLevel;
  const uint32_t span = kFullScale - floor;
  return static_cast<int>(kNoLevel - ((signal - floor) * kNoLevel + span / 2) / span);
}

}  // namespace halvane::driver::v4l2
