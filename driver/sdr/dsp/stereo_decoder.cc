#include "sdr/dsp/stereo_decoder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/audio_sink.h"
#include "sdr/broadcast.h"
#include "sdr/dsp/fir_kernel.h"

namespace halvane::driver::sdr {
namespace {

// 228 kHz to 48 kHz: 4 out for every 19 in.
constexpr unsigned kResampleUp = 4;
constexpr unsigned kResampleDown = 19;
static_assert(kMultiplexRate * kResampleUp / kResampleDown == audio::kSampleRate);

// The loop acquires wide and tracks narrow once locked. Acquiring, it settles in about 20 ms
// (natural frequency 2e-3 of the rate); any wider and it fights the pilot filter's own delay,
// swinging from one end of its capture range to the other for up to a second before it locks.
constexpr float kAcquireBandwidth = 4e-6f;
constexpr float kPllBandwidth = 1e-6f;
// The loop's frequency stays within this distance of 19 kHz: the pilot is within 2 Hz of it,
// and a receiver clock 200 ppm off moves it by under 4 Hz. Further out the loop could only have
// wandered in noise, and would then sit outside the pilot filter, unable to pull in.
constexpr double kCaptureHz = 10;
constexpr float kNominalStep = static_cast<float>(2 * std::numbers::pi * kPilotHz / kMultiplexRate);
constexpr float kMaxStepOffset =
    static_cast<float>(2 * std::numbers::pi * kCaptureHz / kMultiplexRate);
// The pilot is taken from a 200 Hz band around 19 kHz, clear of the programme and L-R. The PLL
// locks on half the nominal pilot and lets go below a third of it.
constexpr float kPilotFilterCutoff = 200.0f / kMultiplexRate;
constexpr float kLockOn = static_cast<float>(0.5 * kPilotShare);
constexpr float kLockOff = static_cast<float>(0.33 * kPilotShare);
// Without at least this much pilot the loop is not steered: there is nothing to follow.
constexpr float kSteerFloor = static_cast<float>(0.2 * kPilotShare);

// The discriminator's droop undone: 1 + 4a sin^2(w/2) against 1 / sinc, exact at 38 kHz (where
// 1 / sinc(1/6) = pi / 3), within 0.2 % over 23 to 43 kHz and 1 % at 53 kHz; L+R is left within
// 0.2 % up to 15 kHz.
constexpr float kDroopTap = static_cast<float>(std::numbers::pi / 3 - 1);

// The resampler passes 15 kHz and stops what would fold back into the programme band.
constexpr unsigned kResamplerSemiLength = 40;
constexpr float kResamplerBandwidth = 0.08f;  // of the multiplex rate

// 15 kHz programme band, the 19 kHz pilot well below the noise.
constexpr unsigned kLowpassTaps = 95;
constexpr float kLowpassCutoff = 16.5f / 48.0f;
constexpr float kLowpassStopbandDb = 60;

// A zero ahead of the taps pads them to a whole number of vector groups.
constexpr size_t kLowpassPadded = (kLowpassTaps + kTapGroup - 1) / kTapGroup * kTapGroup;

std::vector<float> MakeLowpass() {
  float taps[kLowpassTaps];
  liquid_firdes_kaiser(kLowpassTaps, kLowpassCutoff, kLowpassStopbandDb, 0.0f, taps);
  // Unit gain in the pass band.
  float sum = 0;
  for (const float tap : taps) sum += tap;
  std::vector<float> padded(kLowpassPadded - kLowpassTaps, 0.0f);
  for (const float tap : taps) padded.push_back(tap / sum);
  return PairedTaps(padded);
}

AudioResampler MakeResampler() {
  return AudioResampler(rresamp_rrrf_create_kaiser(kResampleUp, kResampleDown, kResamplerSemiLength,
                                                   kResamplerBandwidth, kLowpassStopbandDb));
}

// The resampler's gain in the pass band: what a constant input comes out as once the filter is
// full. (Its own scale setting does not give unit gain, so the decoder divides by this.)
float ResamplerGain() {
  AudioResampler resampler = MakeResampler();
  float ones[kResampleDown];
  std::fill(std::begin(ones), std::end(ones), 1.0f);
  float out[kResampleUp] = {};
  for (unsigned i = 0; i < 2 * kResamplerSemiLength; ++i) {
    rresamp_rrrf_execute(resampler.get(), ones, out);
  }
  return out[0];
}

// One-pole de-emphasis at 48 kHz: y = (1 - a) x + a y[-1].
RealIirFilter MakeDeemphasis(double tauUs) {
  const float a = static_cast<float>(std::exp(-1.0 / (audio::kSampleRate * tauUs * 1e-6)));
  const float b[2] = {1 - a, 0};
  const float feedback[2] = {1, -a};
  return RealIirFilter(
      iirfilt_rrrf_create(const_cast<float*>(b), 2, const_cast<float*>(feedback), 2));
}

}  // namespace

StereoDecoder::StereoDecoder(double deemphasisUs)
    : pll_(nco_crcf_create(LIQUID_VCO)),
      pilotFilter_(iirfilt_crcf_create_lowpass(2, kPilotFilterCutoff)),
      resamplerGain_(ResamplerGain()),
      sumResampler_(MakeResampler()),
      differenceResampler_(MakeResampler()),
      lowpass_(MakeLowpass()),
      leftDeemphasis_(MakeDeemphasis(deemphasisUs)),
      rightDeemphasis_(MakeDeemphasis(deemphasisUs)) {
  Reset();
}

void StereoDecoder::Reset() {
  nco_crcf_reset(pll_.get());
  nco_crcf_set_frequency(pll_.get(), kNominalStep);
  nco_crcf_pll_set_bandwidth(pll_.get(), kAcquireBandwidth);
  iirfilt_crcf_reset(pilotFilter_.get());
  lockI_ = lockQ_ = 0;
  locked_ = pilotSeenBefore_ = false;
  pilotLevel_ = 0;
  blend_.Reset();
  previous_[0] = previous_[1] = 0;
  previousSin_ = 0;
  previousCos_ = 1;
  rresamp_rrrf_reset(sumResampler_.get());
  rresamp_rrrf_reset(differenceResampler_.get());
  lowpassHistory_.assign(kLowpassPadded, Complex{});
  iirfilt_rrrf_reset(leftDeemphasis_.get());
  iirfilt_rrrf_reset(rightDeemphasis_.get());
  sumBlock_.clear();
  differenceBlock_.clear();
}

void StereoDecoder::Process(std::span<const float> multiplex, std::vector<float>& audio,
                            std::vector<float>& pilotPhase) {
  lockI_ = lockQ_ = 0;
  for (const float m : multiplex) {
    float s = 0;
    float c = 0;
    nco_crcf_sincos(pll_.get(), &s, &c);
    pilotPhase.push_back(nco_crcf_get_phase(pll_.get()));
    // m carries A sin(p); mixed down by q and low-passed it leaves (A / 2j) e^{j(p - q)}.
    Complex product(m * c, -m * s);
    Complex narrow;
    iirfilt_crcf_execute(pilotFilter_.get(), product, &narrow);
    const Complex pilot = Complex(0, 2) * narrow;  // A e^{j(p - q)}
    if (std::norm(pilot) > kSteerFloor * kSteerFloor) {
      nco_crcf_pll_step(pll_.get(), std::arg(pilot));
      const float step = nco_crcf_get_frequency(pll_.get());
      if (std::fabs(step - kNominalStep) > kMaxStepOffset) {
        nco_crcf_set_frequency(pll_.get(), std::clamp(step, kNominalStep - kMaxStepOffset,
                                                      kNominalStep + kMaxStepOffset));
      }
    }
    nco_crcf_step(pll_.get());
    lockI_ += pilot.real();
    lockQ_ += pilot.imag();
    // The L-R channel rides on sin(2p) = 2 sin(p) cos(p); the product's average is (L-R)/2.
    // Both paths take the corrected multiplex, one sample late, and so the pilot's phase there.
    const float corrected = (1 + 2 * kDroopTap) * previous_[0] - kDroopTap * (m + previous_[1]);
    sumBlock_.push_back(corrected);
    differenceBlock_.push_back(2 * corrected * (2 * previousSin_ * previousCos_));
    previous_[1] = previous_[0];
    previous_[0] = m;
    previousSin_ = s;
    previousCos_ = c;
    if (sumBlock_.size() == kResampleDown) Emit(audio);
  }
  // Lock is judged on the pilot's average over the piece, not on one sample of it, and taken
  // only when two pieces in a row show it: noise alone (a mono station, or a weak one) never
  // passes for a pilot. Hysteresis: lock on a strong pilot in phase, let go only well below that.
  if (multiplex.empty()) return;
  lockI_ /= static_cast<float>(multiplex.size());
  lockQ_ /= static_cast<float>(multiplex.size());
  const float q = std::fabs(lockQ_);
  const bool was = locked_;
  const bool pilotSeen = lockI_ > kLockOn && q < lockI_ / 2;
  if (!locked_ && pilotSeen && pilotSeenBefore_) locked_ = true;
  pilotSeenBefore_ = pilotSeen;
  if (locked_ && (lockI_ < kLockOff || q > lockI_)) locked_ = false;
  if (locked_ != was) {
    nco_crcf_pll_set_bandwidth(pll_.get(), locked_ ? kPllBandwidth : kAcquireBandwidth);
  }
  pilotLevel_ = std::max(lockI_, 0.0f) / static_cast<float>(kPilotShare);
  blend_.SetQuality(quality_, locked_);
}

void StereoDecoder::Emit(std::vector<float>& audio) {
  float sum[kResampleUp];
  float difference[kResampleUp];
  rresamp_rrrf_execute(sumResampler_.get(), sumBlock_.data(), sum);
  rresamp_rrrf_execute(differenceResampler_.get(), differenceBlock_.data(), difference);
  sumBlock_.clear();
  differenceBlock_.clear();
  for (unsigned i = 0; i < kResampleUp; ++i) {
    lowpassHistory_.emplace_back(sum[i], difference[i]);
    const Complex cut = DotComplexReal(&lowpassHistory_[lowpassHistory_.size() - kLowpassPadded],
                                       lowpass_.data(), kLowpassPadded);
    const float lPlusR = cut.real();
    const float lMinusR = cut.imag() * blend_.Next();
    // The multiplex holds 0.9 (L+R)/2 and 0.9 (L-R)/2.
    const float scale = 1.0f / (resamplerGain_ * static_cast<float>(kAudioShare));
    float left = (lPlusR + lMinusR) * scale;
    float right = (lPlusR - lMinusR) * scale;
    iirfilt_rrrf_execute(leftDeemphasis_.get(), left, &left);
    iirfilt_rrrf_execute(rightDeemphasis_.get(), right, &right);
    audio.push_back(left);
    audio.push_back(right);
  }
  // The history keeps what the filter still reaches, moved down now and then rather than
  // at every sample.
  if (lowpassHistory_.size() > 64 * kLowpassPadded) {
    lowpassHistory_.erase(lowpassHistory_.begin(),
                          lowpassHistory_.end() - static_cast<ptrdiff_t>(kLowpassPadded));
  }
}

}  // namespace halvane::driver::sdr
