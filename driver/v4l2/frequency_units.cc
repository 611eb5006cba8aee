#include "v4l2/frequency_units.h"

#include <linux/videodev2.h>

#include <limits>

namespace halvane::driver::v4l2 {

TunerUnit UnitOf(uint32_t capability) {
  if (capability & V4L2_TUNER_CAP_1HZ) return TunerUnit::Hertz;
  if (capability & V4L2_TUNER_CAP_LOW) return TunerUnit::SixteenthKhz;
  return TunerUnit::SixteenthMhz;
}

std::optional<uint32_t> HertzToUnits(int64_t hertz, TunerUnit unit) {
  if (hertz < 0) return std::nullopt;
  int64_t units;
  switch (unit) {
    case TunerUnit::SixteenthMhz:
      units = (hertz + 31'250) / 62'500;
      break;
    case TunerUnit::SixteenthKhz:
      // 62.5 Hz = 125/2 Hz: units = 2 x hertz / 125, rounded.
      units = (2 * hertz + 62) / 125;
      break;
    case TunerUnit::Hertz:
    default:
      units = hertz;
      break;
  }
  if (units > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  return static_cast<uint32_t>(units);
}

int64_t UnitsToHertz(uint32_t units, TunerUnit unit) {
  switch (unit) {
    case TunerUnit::SixteenthMhz:
      return int64_t{units} * 62'500;
    case TunerUnit::SixteenthKhz:
      return int64_t{units} * 125 / 2;
    case TunerUnit::Hertz:
      break;
  }
  return units;
}

}  // namespace halvane::driver::v4l2
