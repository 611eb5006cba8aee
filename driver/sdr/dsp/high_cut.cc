#include "sdr/dsp/high_cut.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace halvane::driver::sdr {
namespace {

// The one-pole low-pass y = (1 - p) x + p y[-1] has its corner at -ln(p) fs / (2 pi). The pole
// moves from 0 (no filter at all) to that of the lowest corner in proportion to the amount.
const float kLowestPole =
    static_cast<float>(std::exp(-2 * std::numbers::pi * kLowestCornerHz / audio::kSampleRate));

}  // namespace

float HighCut::AmountFor(std::optional<double> cnrDb) {
  if (!cnrDb || *cnrDb <= kFullHighCutCnrDb) return 1;
  if (*cnrDb >= kHighCutFromCnrDb) return 0;
  return static_cast<float>((kHighCutFromCnrDb - *cnrDb) / (kHighCutFromCnrDb - kFullHighCutCnrDb));
}

void HighCut::SetEnabled(bool on) {
  enabled_ = on;
  if (!on) amount_.Jump(0);
}

void HighCut::SetQuality(std::optional<double> cnrDb) {
  if (enabled_) amount_.SetTarget(AmountFor(cnrDb));
}

void HighCut::Reset() {
  left_ = right_ = 0;
  amount_.Jump(0);
}

void HighCut::Apply(std::span<float> interleaved) {
  if (!enabled_ || (amount_.value() == 0 && amount_.target() == 0)) return;
  for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
    const float pole = amount_.Next() * kLowestPole;
    left_ += (1 - pole) * (interleaved[i] - left_);
    right_ += (1 - pole) * (interleaved[i + 1] - right_);
    interleaved[i] = left_;
    interleaved[i + 1] = right_;
  }
}

std::optional<double> HighCut::CornerHz() const {
  const float pole = amount_.value() * kLowestPole;
  if (pole <= 1e-4f) return std::nullopt;
  return -std::log(pole) * audio::kSampleRate / (2 * std::numbers::pi);
}

}  // namespace halvane::driver::sdr
