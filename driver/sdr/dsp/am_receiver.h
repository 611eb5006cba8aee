// The whole AM receiver for one channel: from IQ samples to 48 kHz sound, with the measures a
// tuner reports. Channel filter with the noise blanker, adaptive bandwidth, synchronous detector
// with its envelope fallback, gain control on the carrier, soft mute on a weak carrier, and the
// step from the channel rate to the sound's.
#ifndef HALVANE_DRIVER_SDR_DSP_AM_RECEIVER_H
#define HALVANE_DRIVER_SDR_DSP_AM_RECEIVER_H

#include <optional>
#include <span>
#include <vector>

#include "sdr/dsp/am_channel_filter.h"
#include "sdr/dsp/am_detector.h"
#include "sdr/dsp/am_selectivity.h"
#include "sdr/dsp/am_soft_mute.h"
#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

class AmReceiver {
 public:
  explicit AmReceiver(double sampleRate);

  // A new channel `offsetHz` from the source's centre: everything received before is forgotten.
  void Tune(double offsetHz);
  // The signal broke off: the chain starts afresh on the next samples.
  void Interrupt();

  // Demodulates `iq`; sound goes to `audio` (appended, interleaved stereo at 48 kHz, both
  // channels alike).
  void Process(std::span<const Complex> iq, std::vector<float>& audio);
  // Only measures the channel (for a search): no sound.
  void Measure(std::span<const Complex> iq);

  // Carrier-to-noise in kAmNoiseBandwidthHz, once there is enough of the channel to say.
  std::optional<double> CarrierToNoiseDb() const;
  // 0 (best) to 15 (no station) from the carrier-to-noise, on FM's scale.
  int Level() const;

  bool Locked() const { return detector_.Locked(); }
  double AudioBandwidthHz() const { return selectivity_.AudioHz(); }
  const NoiseBlanker& blanker() const { return filter_.blanker(); }

 private:
  void Demodulate(std::span<const Complex> iq);

  AmChannelFilter filter_;
  AmSelectivity selectivity_;
  AmDetector detector_;
  AmSoftMute softMute_;
  RealInterpolator upsampler_;
  float dcIn_ = 0;  // the DC blocker's last input and output
  float dcOut_ = 0;
  std::vector<Complex> channel_;
  std::vector<Complex> selected_;
  std::vector<float> detected_;
};

}  // namespace halvane::driver::sdr

#endif
