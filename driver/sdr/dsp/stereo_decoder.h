// From the multiplex to 48 kHz stereo: a PLL locks to the 19 kHz pilot; L+R and the L-R channel
// demodulated on twice the pilot's phase are brought to 48 kHz, cut at 15 kHz, matrixed and
// de-emphasised. Without a pilot lock both channels carry L+R; with one, the stereo blend sets
// how much of L-R the sound takes. The discriminator's response falls towards the multiplex's top
// (a phase difference over one sample is the frequency averaged over that sample: sinc(f / rate),
// 4.5 % down at 38 kHz), so the audio paths take the multiplex through a short inverse of it: L-R
// then comes out at L+R's level, and the separation is not held to 33 dB by that alone.
#ifndef HALVANE_DRIVER_SDR_DSP_STEREO_DECODER_H
#define HALVANE_DRIVER_SDR_DSP_STEREO_DECODER_H

#include <optional>
#include <span>
#include <vector>

#include "sdr/dsp/stereo_blend.h"
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
  // The reception's carrier-to-noise for the blend, from the next piece on.
  void SetQuality(std::optional<double> cnrDb) { quality_ = cnrDb; }
  StereoBlend& blend() { return blend_; }
  const StereoBlend& blend() const { return blend_; }
  // The pilot's amplitude over the last piece, 1.0 at the nominal 9 % of full deviation.
  float PilotLevel() const { return pilotLevel_; }

 private:
  void Emit(std::vector<float>& audio);

  Oscillator pll_;
  ComplexIirFilter pilotFilter_;
  float lockI_ = 0;  // the pilot's in-phase and quadrature amplitude
  float lockQ_ = 0;
  bool locked_ = false;
  bool pilotSeenBefore_ = false;  // the last piece's pilot would have locked
  float pilotLevel_ = 0;
  std::optional<double> quality_;
  StereoBlend blend_;
  // The last two multiplex samples and the pilot's sine and cosine at the last one, for the
  // discriminator's correction (three taps centred one sample back).
  float previous_[2] = {0, 0};
  float previousSin_ = 0;
  float previousCos_ = 1;
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
