// The channel filter proper: brings a complex signal from its rate to the multiplex rate through
// a polyphase low-pass that passes the wanted channel and stops its neighbours. The ratio is kept
// exact as a fraction P/Q of the two rates; a fraction with more than kMaxPhases phases takes the
// nearest of kMaxPhases, a timing error below 1/(2 kMaxPhases) of an input sample.
#ifndef HALVANE_DRIVER_SDR_DSP_CHANNEL_RESAMPLER_H
#define HALVANE_DRIVER_SDR_DSP_CHANNEL_RESAMPLER_H

#include <cstdint>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

struct ChannelShape {
  double passHz;  // flat up to here either side of the centre
  double stopHz;  // stopped from here by stopbandDb
  double stopbandDb;
};

class ChannelResampler {
 public:
  static constexpr uint64_t kMaxPhases = 512;

  ChannelResampler(int64_t inputRate, int64_t outputRate, const ChannelShape& shape);

  void Reset();

  // Appends the output samples due for `in`.
  void Process(std::span<const Complex> in, std::vector<Complex>& out);

  // The filter's equivalent noise bandwidth: white noise of density N0 comes out with the power
  // N0 times this.
  double NoiseBandwidthHz() const { return noiseBandwidthHz_; }
  size_t TapsPerOutput() const { return taps_; }

 private:
  uint64_t up_;      // P: outputs
  uint64_t down_;    // Q: inputs, in the same time
  uint64_t phases_;  // filter phases: P, or kMaxPhases
  size_t taps_;      // per phase
  size_t padded_;
  std::vector<float> paired_;  // phase after phase, each as DotComplexReal takes it
  double noiseBandwidthHz_;
  std::vector<Complex> input_;  // history, then the new samples
  size_t next_ = 0;             // input_ index of the newest sample the next output uses
  uint64_t fraction_ = 0;       // how far past it the next output lies, in 1/P of a sample
};

}  // namespace halvane::driver::sdr

#endif
