#include "v4l2/seek_result.h"

#include "frequency.h"

namespace halvane::driver::v4l2 {

std::optional<int32_t> ChannelFoundBySeek(int32_t start, int32_t edge, int64_t hertz, bool am,
                                          bool up) {
  const Raster& raster = am ? kAmRaster : kFmRaster;
  // AM values are kilohertz x 10000: hertz x 10.
  const int64_t value = am ? hertz * 10 : hertz;
  if (value < raster.low || value > raster.high) return std::nullopt;
  int64_t channel = value;
  if (const int64_t off = (value - raster.low) % raster.step; off != 0) {
    channel = up ? value - off + raster.step : value - off;
  }
  if (up ? channel <= start : channel >= start) return std::nullopt;
  if (up ? channel >= edge : channel <= edge) return std::nullopt;
  return static_cast<int32_t>(channel);
}

}  // namespace halvane::driver::v4l2
