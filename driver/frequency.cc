#include "frequency.h"

#include <algorithm>

namespace halvane::driver {

int32_t SnapToRaster(int32_t value) {
  const Raster& raster = RasterOf(value);
  const int64_t clamped = std::clamp<int64_t>(value, raster.low, raster.high);
  const int64_t steps = (clamped - raster.low + raster.step / 2) / raster.step;
  return static_cast<int32_t>(raster.low + steps * raster.step);
}

std::optional<int32_t> NextChannel(int32_t value, bool up) {
  const Raster& raster = RasterOf(value);
  const int64_t offset = int64_t{value} - raster.low;  // negative below an AM band's floor
  int64_t index;
  if (up) {
    if (offset < 0) return raster.low;
    index = offset / raster.step + 1;
  } else {
    if (value > raster.high) return raster.high;
    if (offset <= 0) return std::nullopt;
    index = (offset + raster.step - 1) / raster.step - 1;
  }
  const int64_t next = raster.low + index * raster.step;
  if (next > raster.high) return std::nullopt;
  return static_cast<int32_t>(next);
}

}  // namespace halvane::driver
