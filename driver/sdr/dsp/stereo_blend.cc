#include "sdr/dsp/stereo_blend.h"

#include <cmath>

namespace halvane::driver::sdr {

float StereoBlend::SeparationFor(std::optional<double> cnrDb) {
  if (!cnrDb || *cnrDb < kMonoCnrDb) return 0;
  if (*cnrDb >= kFullStereoCnrDb) return 1;
  return static_cast<float>(std::pow(10.0, (*cnrDb - kFullStereoCnrDb) / 20));
}

void StereoBlend::SetQuality(std::optional<double> cnrDb, bool pilotLocked) {
  if (!enabled_) {
    share_.Jump(pilotLocked ? 1.0f : 0.0f);
    return;
  }
  share_.SetTarget(pilotLocked ? SeparationFor(cnrDb) : 0.0f);
}

}  // namespace halvane::driver::sdr
