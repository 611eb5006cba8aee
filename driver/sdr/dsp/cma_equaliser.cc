#include "sdr/dsp/cma_equaliser.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace halvane::driver::sdr {
namespace {

// The adaptation's step: large enough to turn with an echo at 30 Hz where the carrier stands
// well above the noise (kFullStepCnrDb), less in noise, which would otherwise jostle the taps
// and be heard (a piece's figure counts the echo not yet undone as noise, so a strong echo
// starts slow and speeds up as the filter takes it out).
constexpr float kStep = 5e-3f;
constexpr float kLeastStep = 1.5e-3f;
constexpr double kFullStepCnrDb = 25;
constexpr double kLeastStepCnrDb = 15;
// The envelope it steers to: the AGC's unit power.
constexpr float kModulus = 1.0f;
// Taps drifting beyond this gain mean the adaptation lost its way: it starts again.
constexpr float kRunawayGain = 16.0f;
constexpr size_t kMainPosition = CmaEqualiser::kTaps - 1 - CmaEqualiser::kMainTap;
static_assert(CmaEqualiser::kTaps % 4 == 0);

// Four floats in one vector operation on any processor the compiler knows.
using Float4 = float __attribute__((vector_size(16)));
Float4 Load(const float* from) {
  Float4 v;
  std::memcpy(&v, from, sizeof v);
  return v;
}
void Store(float* to, Float4 v) { std::memcpy(to, &v, sizeof v); }

}  // namespace

CmaEqualiser::CmaEqualiser() { Reset(); }

void CmaEqualiser::SetEnabled(bool on) {
  if (on != enabled_) Reset();
  enabled_ = on;
}

void CmaEqualiser::Reset() {
  tapRe_.fill(0);
  tapIm_.fill(0);
  tapRe_[kMainPosition] = 1;
  historyRe_.assign(kTaps - 1, 0.0f);
  historyIm_.assign(kTaps - 1, 0.0f);
  adapting_ = false;
}

void CmaEqualiser::Process(std::span<Complex> samples, bool adapt, std::optional<double> cnrDb) {
  adapting_ = enabled_ && adapt;
  if (!enabled_ || samples.empty()) return;
  const double share = std::clamp(
      (cnrDb.value_or(kLeastStepCnrDb) - kLeastStepCnrDb) / (kFullStepCnrDb - kLeastStepCnrDb), 0.0,
      1.0);
  const float step = kLeastStep + static_cast<float>(share) * (kStep - kLeastStep);
  const size_t keep = kTaps - 1;
  historyRe_.resize(keep + samples.size());
  historyIm_.resize(keep + samples.size());
  for (size_t n = 0; n < samples.size(); ++n) {
    historyRe_[keep + n] = samples[n].real();
    historyIm_[keep + n] = samples[n].imag();
  }
  float* const tr = tapRe_.data();
  float* const ti = tapIm_.data();
  for (size_t n = 0; n < samples.size(); ++n) {
    const float* xr = historyRe_.data() + n;
    const float* xi = historyIm_.data() + n;
    Float4 sumR = {0, 0, 0, 0};
    Float4 sumI = {0, 0, 0, 0};
    for (size_t j = 0; j < kTaps; j += 4) {
      const Float4 ar = Load(xr + j);
      const Float4 ai = Load(xi + j);
      const Float4 wr = Load(tr + j);
      const Float4 wi = Load(ti + j);
      sumR += wr * ar - wi * ai;
      sumI += wr * ai + wi * ar;
    }
    const float yr = sumR[0] + sumR[1] + sumR[2] + sumR[3];
    const float yi = sumI[0] + sumI[1] + sumI[2] + sumI[3];
    samples[n] = {yr, yi};
    if (!adapting_) continue;
    // Gradient of (|y|^2 - R)^2: e = y (|y|^2 - R); w -= step e conj(x).
    // Held within +-1: a stray sample far off unit power must not throw the taps.
    const float error = std::clamp(yr * yr + yi * yi - kModulus, -1.0f, 1.0f);
    const float er = step * yr * error;
    const float ei = step * yi * error;
    for (size_t j = 0; j < kTaps; j += 4) {
      const Float4 ar = Load(xr + j);
      const Float4 ai = Load(xi + j);
      Store(tr + j, Load(tr + j) - (er * ar + ei * ai));
      Store(ti + j, Load(ti + j) - (ei * ar - er * ai));
    }
  }
  std::copy(historyRe_.end() - static_cast<ptrdiff_t>(keep), historyRe_.end(), historyRe_.begin());
  std::copy(historyIm_.end() - static_cast<ptrdiff_t>(keep), historyIm_.end(), historyIm_.begin());
  historyRe_.resize(keep);
  historyIm_.resize(keep);
  float energy = 0;
  for (size_t k = 0; k < kTaps; ++k) energy += tr[k] * tr[k] + ti[k] * ti[k];
  if (!std::isfinite(energy) || energy > kRunawayGain * kRunawayGain) Reset();
}

double CmaEqualiser::EchoDb() const {
  float main = 0;
  float rest = 0;
  for (size_t k = 0; k < kTaps; ++k) {
    const float e = tapRe_[k] * tapRe_[k] + tapIm_[k] * tapIm_[k];
    (k == kMainPosition ? main : rest) += e;
  }
  return 10 * std::log10(std::max(rest, 1e-12f) / std::max(main, 1e-12f));
}

}  // namespace halvane::driver::sdr
