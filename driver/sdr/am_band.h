// The AM broadcast band's channels by region, in the plug-in's values (kHz times 10000): 531 to
// 1602 kHz in 9 kHz steps in Europe, Africa and Asia, 530 to 1710 kHz in 10 kHz steps in the
// Americas. A seek walks the region's raster; a tune takes any whole kilohertz of the band.
#ifndef HALVANE_DRIVER_SDR_AM_BAND_H
#define HALVANE_DRIVER_SDR_AM_BAND_H

#include <cstdint>
#include <optional>

namespace halvane::driver::sdr {

struct AmPlan {
  int32_t lowKhz;
  int32_t highKhz;
  int32_t stepKhz;

  int32_t low() const { return lowKhz * 10'000; }
  int32_t high() const { return highKhz * 10'000; }
};

inline constexpr AmPlan kAmPlanNineKhz{531, 1602, 9};
inline constexpr AmPlan kAmPlanTenKhz{530, 1710, 10};

// The plan of a raster of `stepKhz` (9 or 10).
const AmPlan& AmPlanFor(int stepKhz);

// An AM value as the receiver tunes it: whole kilohertz, within 530 to 1710 kHz.
int32_t AmChannel(int32_t value);

// The first channel of `plan` beyond `value` in the given direction (not `value` itself);
// nothing once the band's edge has been passed.
std::optional<int32_t> NextAmChannel(int32_t value, bool up, const AmPlan& plan);

}  // namespace halvane::driver::sdr

#endif
