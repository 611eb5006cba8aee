// The AM receiver's selectivity ahead of the detector: from the source's samples to the channel
// at kAmChannelRate (24 kHz complex), its carrier at 0 Hz. The channel is shifted to the centre,
// its rate halved by short half-band stages (they need only keep the band the channel filter
// passes free of folding), impulse noise is blanked at the first rate at or below 256 kHz, and a
// polyphase filter brings it to the channel rate, flat to 11 kHz either side (the neighbours'
// carriers stay visible for the bandwidth decision) and stopping 80 dB from 16 kHz.
#ifndef HALVANE_DRIVER_SDR_DSP_AM_CHANNEL_FILTER_H
#define HALVANE_DRIVER_SDR_DSP_AM_CHANNEL_FILTER_H

#include <optional>
#include <span>
#include <vector>

#include "sdr/dsp/channel_resampler.h"
#include "sdr/dsp/halfband_decimator.h"
#include "sdr/dsp/noise_blanker.h"

namespace halvane::driver::sdr {

inline constexpr ChannelShape kAmChannel = {11'000, 16'000, 80};

class AmChannelFilter {
 public:
  explicit AmChannelFilter(double inputRate);

  // Where the channel lies from the source's centre.
  void SetOffset(double hz);
  // Forgets the past, as after retuning.
  void Reset();

  // Appends the channel of `iq` at kAmChannelRate to `channel`.
  void Process(std::span<const Complex> iq, std::vector<Complex>& channel);

  const NoiseBlanker& blanker() const { return blanker_; }

 private:
  void Mix(std::span<const Complex> iq);

  double inputRate_;
  double offsetHz_ = 0;
  double phase_ = 0;  // of the mixer, in turns
  std::vector<HalfbandDecimator> halfbands_;
  size_t blankAfter_;  // the blanker follows this many half-band stages
  NoiseBlanker blanker_;
  ChannelResampler resampler_;
  std::vector<Complex> mixed_;
  std::vector<Complex> stage_[2];
};

}  // namespace halvane::driver::sdr

#endif
