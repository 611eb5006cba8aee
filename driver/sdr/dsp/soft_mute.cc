#include "sdr/dsp/soft_mute.h"

#include <algorithm>
#include <cmath>

namespace halvane::driver::sdr {

SoftMute::SoftMute(const SoftMuteCurve& curve)
    : curve_(curve),
      floorGain_(static_cast<float>(std::pow(10.0, -curve.depthDb / 20))),
      gain_(curve.downMs, curve.upMs, floorGain_) {}

double SoftMute::AttenuationFor(std::optional<double> qualityDb) const {
  if (!qualityDb || *qualityDb <= curve_.floorDb) return curve_.depthDb;
  if (*qualityDb >= curve_.fullFromDb) return 0;
  return curve_.depthDb * (curve_.fullFromDb - *qualityDb) / (curve_.fullFromDb - curve_.floorDb);
}

void SoftMute::SetEnabled(bool on) {
  enabled_ = on;
  if (!on) gain_.Jump(1);
}

void SoftMute::SetQuality(std::optional<double> qualityDb) {
  if (!enabled_) return;
  gain_.SetTarget(static_cast<float>(std::pow(10.0, -AttenuationFor(qualityDb) / 20)));
}

void SoftMute::Reset() {
  if (enabled_) gain_.Jump(floorGain_);
}

void SoftMute::Apply(std::span<float> interleaved) {
  if (!enabled_) return;
  if (gain_.value() == 1 && gain_.target() == 1) return;
  for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
    const float gain = gain_.Next();
    interleaved[i] *= gain;
    interleaved[i + 1] *= gain;
  }
}

double SoftMute::AttenuationDb() const { return -20 * std::log10(std::max(gain_.value(), 1e-6f)); }

}  // namespace halvane::driver::sdr
