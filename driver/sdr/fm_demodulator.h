// From IQ samples to the multiplex: the channel is shifted to the centre, filtered and brought to
// the multiplex rate, then the discriminator turns frequency into the multiplex signal. On the
// way it measures the channel's carrier and noise.
#ifndef HALVANE_DRIVER_SDR_FM_DEMODULATOR_H
#define HALVANE_DRIVER_SDR_FM_DEMODULATOR_H

#include <optional>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

// Carrier and noise of an FM channel from the moments of its samples: a constant-envelope
// carrier C in complex noise N has E|x|^2 = C + N and E|x|^4 = C^2 + 4CN + 2N^2.
class ChannelMeter {
 public:
  void Add(Complex sample);
  void Reset();
  // Carrier-to-noise in 200 kHz, in dB, over the last whole window (or what has come so far);
  // nothing before a few milliseconds of signal.
  std::optional<double> CarrierToNoiseDb() const;
  // Mean power of the channel's samples over the same span.
  double power() const { return power_; }

 private:
  void Publish();
  double m2_ = 0;
  double m4_ = 0;
  size_t count_ = 0;
  std::optional<double> cnrDb_;
  double power_ = 0;
};

class FmDemodulator {
 public:
  explicit FmDemodulator(double inputRate);

  // Where the channel lies from the source's centre.
  void SetOffset(double hz);
  // Forgets the past, as after retuning.
  void Reset();

  // Appends the multiplex of `iq` to `multiplex` (1.0 is 75 kHz deviation).
  void Process(std::span<const Complex> iq, std::vector<float>& multiplex);

  const ChannelMeter& meter() const { return meter_; }

 private:
  double inputRate_;
  double offsetHz_ = 0;
  Oscillator mixer_;
  ChannelResampler resampler_;
  Discriminator discriminator_;
  RealIirFilter dcBlocker_;
  ChannelMeter meter_;
  std::vector<Complex> mixed_;
  std::vector<Complex> channel_;
  size_t settle_ = 0;  // samples still to drop from the meter after a reset
};

}  // namespace halvane::driver::sdr

#endif
