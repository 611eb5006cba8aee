// Soft mute for AM: as the carrier sinks into the noise the programme is brought down with it,
// so a weak station fades into quiet rather than into hiss, and tuning across an empty channel
// is restful. Full sound from 20 dB carrier-to-noise (in 10 kHz), down by 20 dB at 6 dB and
// below, moving over about 100 ms so the change is never a step.
#ifndef HALVANE_DRIVER_SDR_DSP_AM_SOFT_MUTE_H
#define HALVANE_DRIVER_SDR_DSP_AM_SOFT_MUTE_H

#include <optional>
#include <span>

namespace halvane::driver::sdr {

class AmSoftMute {
 public:
  explicit AmSoftMute(double rate);

  void Reset();
  // Sets the gain the carrier-to-noise calls for; none (not yet measured): the deepest.
  void SetCarrierToNoise(std::optional<double> cnrDb);
  // Applies the gain, moving towards its target, to `samples` in place.
  void Process(std::span<float> samples);

  float gain() const { return gain_; }

 private:
  float step_;
  float target_ = 0.1f;
  float gain_ = 0.1f;
};

}  // namespace halvane::driver::sdr

#endif
