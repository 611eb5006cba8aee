// From the multiplex to 48 kHz stereo: a PLL locks to the 19 kHz pilot; L+R and the L-R channel
// demodulated on twice the pilot's phase are brought to 48 kHz, cut at 15 kHz, matrixed and
// de-emphasised. Without a pilot lock both channels carry L+R.
#ifndef HALVANE_DRIVER_SDR_STEREO_DECODER_H
#define HALVANE_DRIVER_SDR_STEREO_DECODER_H

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
  ComplexIirFilter pilot_filter_;
  float lock_i_ = 0;  // the pilot's in-phase and quadrature amplitude
  float lock_q_ = 0;
  bool locked_ = false;
  float resampler_gain_;
  AudioResampler sum_resampler_;
  AudioResampler difference_resampler_;
  RealFilter sum_lowpass_;
  RealFilter difference_lowpass_;
  RealIirFilter left_deemphasis_;
  RealIirFilter right_deemphasis_;
  std::vector<float> sum_block_;  // multiplex-rate samples waiting for a whole resampler block
  std::vector<float> difference_block_;
};

}  // namespace halvane::driver::sdr

#endif
