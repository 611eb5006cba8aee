// From IQ samples to the multiplex: the channel filter takes the wanted channel alone to the
// multiplex rate, an AGC brings it to unit power, the equaliser takes echoes out, the meter
// measures carrier and noise on what is left (neighbours are not counted) and the discriminator
// turns frequency into the multiplex signal.
#ifndef HALVANE_DRIVER_SDR_DSP_FM_DEMODULATOR_H
#define HALVANE_DRIVER_SDR_DSP_FM_DEMODULATOR_H

#include <optional>
#include <span>
#include <vector>

#include "sdr/dsp/channel_filter.h"
#include "sdr/dsp/cma_equaliser.h"
#include "sdr/dsp/quality_meter.h"
#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

// Carrier and noise of an FM channel from the moments of its samples: a constant-envelope
// carrier C in complex noise N has E|x|^2 = C + N and E|x|^4 = C^2 + 4CN + 2N^2.
class ChannelMeter {
 public:
  // `noiseBandwidthHz`: what the channel's noise is measured over, referred to 200 kHz.
  explicit ChannelMeter(double noiseBandwidthHz);

  void Add(Complex sample);
  void Reset();
  // Carrier-to-noise in 200 kHz, in dB, over the last whole window (or what has come so far);
  // nothing before a few milliseconds of signal.
  std::optional<double> CarrierToNoiseDb() const;
  // Mean power of the channel's samples over the same span.
  double power() const { return power_; }

 private:
  void Publish();
  double referenceDb_;
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
  CmaEqualiser& equaliser() { return equaliser_; }
  const CmaEqualiser& equaliser() const { return equaliser_; }
  // The last Process's piece, as the discriminator took it.
  const PieceQuality& quality() const { return quality_; }

 private:
  // Whether a piece of `samples` with this envelope swing and power still holds a carrier.
  bool Carrier(double swing, double power, size_t samples);
  // The captured span beside the channel: how far its power stands above the channel's beyond
  // what noise alone gives (what the neighbours bring), and the channel's carrier-to-noise in
  // 200 kHz from the noise outside it (none where it can't tell).
  struct Span {
    double neighboursDb = -100;
    std::optional<double> cnrDb;
  };
  Span MeasureSpan(std::span<const Complex> iq, double channelPower) const;
  // Keeps the channel as it is before the equaliser, as late as the equaliser's output.
  void KeepPlain();
  // Whether the discriminator takes the equaliser's output (or the plain channel), given the
  // plain channel's carrier-to-noise over the piece.
  bool ChooseEqualised(std::optional<double> plainCnrDb);

  ChannelFilter filter_;
  double noiseSpanShare_;  // the span's noise over the channel's
  float gain_ = 1;         // the AGC's, carried from block to block
  CmaEqualiser equaliser_;
  Discriminator discriminator_;
  RealIirFilter dcBlocker_;
  ChannelMeter meter_;
  QualityMeter qualityMeter_;
  PieceQuality quality_;
  std::vector<Complex> channel_;
  size_t settle_ = 0;        // samples still to drop from the meter after a reset
  size_t noiseSamples_ = 0;  // how long the pieces have looked like noise
  double carrierPower_ = 0;  // the channel's power while it last held a carrier
  double outputSwing_ = 1;   // the equaliser's output's envelope swing over the last piece
  std::optional<double> equalisedCnrDb_;  // of the equaliser's output over the last piece
  std::vector<Complex> plain_;            // the piece as it came to the equaliser, delayed
  std::vector<Complex> plainTail_;        // the last samples of it, carried to the next piece
  double equaliserGainDb_ = 0;            // what the equaliser wins, smoothed
  bool equalised_ = false;                // the discriminator takes the equaliser's output
};

}  // namespace halvane::driver::sdr

#endif
