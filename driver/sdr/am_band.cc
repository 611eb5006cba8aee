#include "sdr/am_band.h"

#include <algorithm>

namespace halvane::driver::sdr {

const AmPlan& AmPlanFor(int stepKhz) { return stepKhz == 9 ? kAmPlanNineKhz : kAmPlanTenKhz; }

int32_t AmChannel(int32_t value) {
  const int32_t khz =
      std::clamp((value + 5'000) / 10'000, kAmPlanTenKhz.lowKhz, kAmPlanTenKhz.highKhz);
  return khz * 10'000;
}

std::optional<int32_t> NextAmChannel(int32_t value, bool up, const AmPlan& plan) {
  const int64_t offset = int64_t{value} - plan.low();  // in plug-in units
  const int64_t step = int64_t{plan.stepKhz} * 10'000;
  int64_t index;
  if (up) {
    index = offset < 0 ? 0 : offset / step + 1;
  } else {
    if (value > plan.high()) return plan.high();
    if (offset <= 0) return std::nullopt;
    index = (offset + step - 1) / step - 1;
  }
  const int64_t next = plan.low() + index * step;
  if (next > plan.high()) return std::nullopt;
  return static_cast<int32_t>(next);
}

}  // namespace halvane::driver::sdr
