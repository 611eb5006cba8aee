// From the multiplex to 48 kHz stereo: a PLL locks to the 19 kHz pilot; L+R and the L-R channel
// demodulated on twice the pilot's phase are brought to 48 kHz, cut at 15 kHz, matrixed and
// de-emphasised. Without a pilot lock both channels carry L+R.
#ifndef HALVANE_DRIVER_SDR_DSP_STEREO_DECODER_H
#define HALVANE_DRIVER_SDR_DSP_STEREO_DECODER_H

#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

class StereoDecoder {
 public:
  explicit StereoDecoder(double deemphasisUs);

  void Reset();

  // Decodes `multiplex` (at the multiplex rate). Appends interleaved left/right at 48 kHz to
  // `audio`, and the pilot PLL's phase at each multiplex sample to `pilotPhase`.
  void Process(std::span<const float> multiplex, std::vector<float>& audio,
               std::vector<float>& pilotPhase);

  bool PilotLocked() const { return locked_; }

 private:
  void Emit(std::vector<float>& audio);

  Oscillator pll_;
  ComplexIirFilter pilotFilter_;
  float lockI_ = 0;  // the pilot's in-phase and quadrature amplitude
  float lockQ_ = 0;
  bool locked_ = false;
  bool pilotSeenBefore_ = false;  // the last piece's pilot would have locked
  float resamplerGain_;
  AudioResampler sumResampler_;
  AudioResampler differenceResampler_;
  // L+R and L-R through the same low-pass, as the two parts of one complex signal.
  std::vector<float> lowpass_;  // taps as DotComplexReal takes them
  std::vector<Complex> lowpassHistory_;
  RealIirFilter leftDeemphasis_;
  RealIirFilter rightDeemphasis_;
  std::vector<float> sumBlock_;  // multiplex-rate samples waiting for a whole resampler block
  std::vector<float> differenceBlock_;
};

}  // namespace halvane::driver::sdr

#endif
