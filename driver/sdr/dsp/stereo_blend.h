// Stereo blend: the L-R channel's share of the sound, from full separation down to mono as the
// reception's quality falls, so that the hiss and the echoes' distortion, which L-R carries far
// more of than L+R, fade with it. It follows a fall within about 16 ms and a rise over about
// 160 ms, so that it never pumps: a dip narrows the sound at once, and width comes back only once
// the dip has passed. Full separation from kFullStereoCnrDb up; every 6 dB less halves the L-R
// share (about 10 dB of separation at 6 dB under it); mono under kMonoCnrDb.
#ifndef HALVANE_DRIVER_SDR_DSP_STEREO_BLEND_H
#define HALVANE_DRIVER_SDR_DSP_STEREO_BLEND_H

#include <optional>

#include "sdr/dsp/follower_gain.h"

namespace halvane::driver::sdr {

// Carrier-to-noise in 200 kHz.
inline constexpr double kFullStereoCnrDb = 34;
inline constexpr double kMonoCnrDb = 16;

class StereoBlend {
 public:
  // The L-R share (0 mono, 1 full stereo) a quality calls for.
  static float SeparationFor(std::optional<double> cnrDb);

  // Off: the plain receiver, full stereo whenever the pilot is locked.
  void SetEnabled(bool on) { enabled_ = on; }
  bool enabled() const { return enabled_; }

  // The piece's quality, and whether the pilot is locked (without it L-R is noise: mono).
  void SetQuality(std::optional<double> cnrDb, bool pilotLocked);
  // Starts mono, as after a tune.
  void Reset() { share_.Jump(0); }

  // The L-R share for the next output frame.
  float Next() { return share_.Next(); }
  float share() const { return share_.value(); }

 private:
  bool enabled_ = true;
  FollowerGain share_{16, 160, 0};
};

}  // namespace halvane::driver::sdr

#endif
