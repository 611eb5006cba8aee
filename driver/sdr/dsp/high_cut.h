// High cut: the treble turned down as the reception's quality falls below what the blend to mono
// can hide, by a first-order low-pass whose corner moves from the whole band (off) down to
// kLowestCornerHz. FM's noise rises with frequency, so a lower corner takes far more hiss than
// programme. Off from kHighCutFromCnrDb up; the lowest corner at kFullHighCutCnrDb and under.
// It follows a fall within about 16 ms and a rise over about 300 ms.
#ifndef HALVANE_DRIVER_SDR_DSP_HIGH_CUT_H
#define HALVANE_DRIVER_SDR_DSP_HIGH_CUT_H

#include <optional>
#include <span>

#include "sdr/dsp/follower_gain.h"

namespace halvane::driver::sdr {

// Carrier-to-noise in 200 kHz.
inline constexpr double kHighCutFromCnrDb = 22;
inline constexpr double kFullHighCutCnrDb = 10;
inline constexpr double kLowestCornerHz = 2000;

class HighCut {
 public:
  // How far the treble is cut (0 not at all, 1 to the lowest corner) for a quality.
  static float AmountFor(std::optional<double> cnrDb);

  void SetEnabled(bool on);
  bool enabled() const { return enabled_; }
  void SetQuality(std::optional<double> cnrDb);
  // Forgets the sound; the amount starts where the next piece puts it.
  void Reset();

  // Filters interleaved stereo in place.
  void Apply(std::span<float> interleaved);

  float amount() const { return amount_.value(); }
  // The corner now, in hertz; none while nothing is cut.
  std::optional<double> CornerHz() const;

 private:
  bool enabled_ = true;
  FollowerGain amount_{300, 16, 0};  // more cut is the fast way
  float left_ = 0;
  float right_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
