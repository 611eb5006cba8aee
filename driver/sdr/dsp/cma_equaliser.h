// The multipath equaliser: an adaptive filter on the channel ahead of the discriminator that
// undoes echoes. An FM carrier has a constant envelope and echoes are what spoil it, so the
// filter steers its taps to bring the envelope back to constant (the constant-modulus algorithm,
// which needs nothing of what was sent): it converges on a still echo within a few
// milliseconds and keeps turning with a moving one. Taps at the multiplex rate (4.4 us apart)
// reach echoes up to about 50 us, with a few ahead of the main tap for delays between samples.
// It holds its taps where adapting would do harm: on a piece with no usable carrier (noise
// alone would drag the taps anywhere), and after a tune or a gap it starts again from a plain
// pass-through. Its input is expected at unit power (after the AGC).
#ifndef HALVANE_DRIVER_SDR_DSP_CMA_EQUALISER_H
#define HALVANE_DRIVER_SDR_DSP_CMA_EQUALISER_H

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

class CmaEqualiser {
 public:
  static constexpr size_t kTaps = 16;
  // Taps ahead of the main one (for inputs newer than the one it passes).
  static constexpr size_t kMainTap = 3;

  CmaEqualiser();

  void SetEnabled(bool on);
  bool enabled() const { return enabled_; }
  // Back to a plain pass-through, the past forgotten.
  void Reset();

  // Equalises `samples` in place; adapts while `adapt`, else only filters with the taps it has.
  // `cnrDb`: the carrier-to-noise it left in the last piece; the noisier, the smaller its steps.
  void Process(std::span<Complex> samples, bool adapt, std::optional<double> cnrDb);

  // How much of the taps' energy lies off the main tap, in dB: the echo it is undoing (very
  // negative for none).
  double EchoDb() const;
  bool adapting() const { return adapting_; }

 private:
  bool enabled_ = true;
  bool adapting_ = false;
  // Taps and history as separate real and imaginary parts, so that the loops run four at once.
  // Taps are stored in the history's order: position j meets the input kTaps - 1 - j back.
  std::array<float, kTaps> tapRe_{};
  std::array<float, kTaps> tapIm_{};
  std::vector<float> historyRe_;  // oldest first; the newest kTaps - 1 carried between pieces
  std::vector<float> historyIm_;
};

}  // namespace halvane::driver::sdr

#endif
