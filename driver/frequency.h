// Frequencies as the plug-in hands them over: FM in hertz, AM in kilohertz times 10000. Any value
// below 87.5 MHz is an AM value, so 1040 kHz arrives as 10 400 000.
#ifndef HALVANE_DRIVER_FREQUENCY_H
#define HALVANE_DRIVER_FREQUENCY_H

#include <cstdint>
#include <optional>

namespace halvane::driver {

// A band's channel raster in the plug-in's values. Both rasters happen to step by 100 000:
// 100 kHz on FM, 10 kHz (times 10000) on AM.
struct Raster {
  int32_t low;
  int32_t high;
  int32_t step;

  bool Contains(int32_t value) const {
    return value >= low && value <= high && (value - low) % step == 0;
  }
};

// AM values are kilohertz times this.
inline constexpr int32_t kAmValuePerKhz = 10'000;

inline constexpr Raster kFmRaster{87'500'000, 108'000'000, 100'000};
inline constexpr Raster kAmRaster{530 * kAmValuePerKhz, 1710 * kAmValuePerKhz, 100'000};

// A frequency value as the plug-in hands it over, which tells its band by its size.
class Frequency {
 public:
  constexpr explicit Frequency(int32_t value) : value_(value) {}
  // An AM frequency given in kilohertz.
  static constexpr Frequency AmKilohertz(int32_t khz) { return Frequency(khz * kAmValuePerKhz); }

  constexpr int32_t value() const { return value_; }
  constexpr bool IsAm() const { return value_ < kFmRaster.low; }
  // What the value means on the air: AM's kilohertz x 10000 are ten times its hertz.
  constexpr int64_t Hertz() const { return IsAm() ? value_ / 10 : value_; }
  // The channel raster of the value's band.
  constexpr const Raster& raster() const { return IsAm() ? kAmRaster : kFmRaster; }

 private:
  int32_t value_;
};

// The raster a value belongs to.
constexpr const Raster& RasterOf(int32_t value) { return Frequency(value).raster(); }

// The nearest channel of the value's own band, clamped to the band's edges.
int32_t SnapToRaster(int32_t value);

// The first channel beyond `value` (not `value` itself) in the given direction, within the
// value's band; nothing once the band's edge has been passed.
std::optional<int32_t> NextChannel(int32_t value, bool up);

}  // namespace halvane::driver

#endif
