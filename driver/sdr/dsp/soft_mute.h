// Soft mute: a gain that follows a quality figure, so that a carrier too weak to carry a
// programme, or none at all, is not heard as the demodulator's noise at full level. Full gain
// from the curve's `fullFromDb` up; under it the gain falls in step with the quality, down to
// `depthDb` at `floorDb` and under. It falls within `downMs` (a tunnel, a lost station: no noise
// burst) and comes back within `upMs`; a new station starts muted and is let in as soon as its
// quality says it can be heard. The stage knows nothing of FM: an AM receiver uses it with a
// curve of its own over its own quality figure.
#ifndef HALVANE_DRIVER_SDR_DSP_SOFT_MUTE_H
#define HALVANE_DRIVER_SDR_DSP_SOFT_MUTE_H

#include <optional>
#include <span>

#include "sdr/dsp/follower_gain.h"

namespace halvane::driver::sdr {

struct SoftMuteCurve {
  double fullFromDb;  // quality with no attenuation at all
  double floorDb;     // quality at which the whole depth applies
  double depthDb;     // the deepest attenuation, a positive number
  double downMs = 8;
  double upMs = 25;
};

// FM: carrier-to-noise in 200 kHz. The discriminator's threshold lies near 10 dB; under 6 dB the
// receiver reads no station at all.
inline constexpr SoftMuteCurve kFmSoftMute = {12, 5, 30};

class SoftMute {
 public:
  explicit SoftMute(const SoftMuteCurve& curve);

  // The attenuation in dB (0 or more) a quality calls for; no quality at all: the whole depth.
  double AttenuationFor(std::optional<double> qualityDb) const;

  void SetEnabled(bool on);
  bool enabled() const { return enabled_; }
  void SetQuality(std::optional<double> qualityDb);
  // A new station, or the signal broke off: silent until the quality lets the sound in.
  void Reset();

  // Scales interleaved stereo in place.
  void Apply(std::span<float> interleaved);

  // The attenuation now, in dB.
  double AttenuationDb() const;

 private:
  SoftMuteCurve curve_;
  bool enabled_ = true;
  float floorGain_;
  FollowerGain gain_;
};

}  // namespace halvane::driver::sdr

#endif
