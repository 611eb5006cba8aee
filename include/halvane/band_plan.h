// The bands of the plug-in's frequency value, as `DMRadio::Freq` reports it and `Tune` takes it:
// FM in 10 kHz units from 87.5 to 107.9 MHz, AM in kHz from 530 to 1710. A value tells its band
// by itself: FM from kFmLow up, AM below.
#ifndef HALVANE_BAND_PLAN_H
#define HALVANE_BAND_PLAN_H

#include <cstdint>

namespace halvane::band {

inline constexpr int32_t kFmLow = 8750;
inline constexpr int32_t kFmHigh = 10790;
inline constexpr int32_t kAmLow = 530;
inline constexpr int32_t kAmHigh = 1710;
// A tuner's FM band reaches one channel past the plan's last: 108.0 MHz.
inline constexpr int32_t kFmTunerHigh = 10800;

constexpr bool IsFm(int32_t freq) { return freq >= kFmLow; }
// Whether a tuner may hold `freq`: it keeps a frequency outside its bands at a band's edge.
constexpr bool InTunerBand(int32_t freq) {
  return (freq >= kFmLow && freq <= kFmTunerHigh) || (freq >= kAmLow && freq <= kAmHigh);
}

}  // namespace halvane::band

#endif
