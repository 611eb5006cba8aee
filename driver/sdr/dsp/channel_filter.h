// The tuner's selectivity: from the source's samples to the wanted channel alone at the multiplex
// rate. The channel is shifted to the centre, the rate halved by half-band stages while it stays
// well above the channel, and a polyphase channel filter brings it to the multiplex rate, passing
// 85 kHz either side of the carrier (the carrier's swing and the RDS subcarrier's first
// sidebands) and stopping 80 dB from 105 kHz: a station 200 kHz away, 30 dB stronger, leaves
// only the edge of its own spectrum in the channel, and nothing folds into it on the way down.
#ifndef HALVANE_DRIVER_SDR_DSP_CHANNEL_FILTER_H
#define HALVANE_DRIVER_SDR_DSP_CHANNEL_FILTER_H

#include <span>
#include <vector>

#include "sdr/dsp/channel_resampler.h"
#include "sdr/dsp/halfband_decimator.h"

namespace halvane::driver::sdr {

inline constexpr ChannelShape kBroadcastChannel = {85'000, 105'000, 80};

class ChannelFilter {
 public:
  explicit ChannelFilter(double inputRate);

  // Where the channel lies from the source's centre.
  void SetOffset(double hz);
  // Forgets the past, as after retuning.
  void Reset();

  // Appends the channel of `iq` at the multiplex rate to `channel`.
  void Process(std::span<const Complex> iq, std::vector<Complex>& channel);

  // White noise of density N0 at the input leaves with the power N0 times this.
  double NoiseBandwidthHz() const { return resampler_.NoiseBandwidthHz(); }
  size_t Stages() const { return halfbands_.size() + 1; }

 private:
  void Mix(std::span<const Complex> iq);

  double inputRate_;
  double offsetHz_ = 0;
  double phase_ = 0;  // of the mixer, in turns
  std::vector<HalfbandDecimator> halfbands_;
  ChannelResampler resampler_;
  std::vector<Complex> mixed_;
  std::vector<Complex> stage_[2];
};

}  // namespace halvane::driver::sdr

#endif
