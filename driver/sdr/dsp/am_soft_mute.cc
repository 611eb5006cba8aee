#include "sdr/dsp/am_soft_mute.h"

#include <algorithm>
#include <cmath>

namespace halvane::driver::sdr {
namespace {

constexpr double kFullFromDb = 20;
constexpr double kDeepestAtDb = 6;
constexpr double kDeepestDb = -20;
constexpr double kMoveS = 0.1;

float Deepest() { return static_cast<float>(std::pow(10.0, kDeepestDb / 20)); }

}  // namespace

AmSoftMute::AmSoftMute(double rate) : step_(static_cast<float>(1 / (kMoveS * rate))) { Reset(); }

void AmSoftMute::Reset() { target_ = gain_ = Deepest(); }

void AmSoftMute::SetCarrierToNoise(std::optional<double> cnrDb) {
  if (!cnrDb) {
    target_ = Deepest();
    return;
  }
  const double share = std::clamp((*cnrDb - kDeepestAtDb) / (kFullFromDb - kDeepestAtDb), 0.0, 1.0);
  target_ = static_cast<float>(std::pow(10.0, kDeepestDb * (1 - share) / 20));
}

void AmSoftMute::Process(std::span<float> samples) {
  for (float& sample : samples) {
    gain_ += std::clamp(target_ - gain_, -step_, step_);
    sample *= gain_;
  }
}

}  // namespace halvane::driver::sdr
