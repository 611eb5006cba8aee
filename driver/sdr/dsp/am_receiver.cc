#include "sdr/dsp/am_receiver.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sdr/am_broadcast.h"
#include "sdr/dsp/receiver.h"

namespace halvane::driver::sdr {
namespace {

// The programme's high-pass: the carrier (a constant after the gain control) and the slow swell
// of fading go, the programme from 50 Hz stays.
constexpr float kDcPole = static_cast<float>(1 - 2 * std::numbers::pi * 20 / kAmChannelRate);
// From the channel rate to the sound's 48 kHz: twice, through a filter that stops the image
// from 18 kHz (the programme ends at 6 kHz).
constexpr unsigned kUpsampling = 2;
constexpr unsigned kUpsamplerSemiLength = 6;
constexpr float kUpsamplerStopbandDb = 60;
// The programme is bounded here, so a burst the blanker missed is a click, never a bang.
constexpr float kLimit = 1.5f;

}  // namespace

AmReceiver::AmReceiver(double sampleRate)
    : filter_(sampleRate),
      softMute_(kAmChannelRate),
      upsampler_(
          firinterp_rrrf_create_kaiser(kUpsampling, kUpsamplerSemiLength, kUpsamplerStopbandDb)) {}

void AmReceiver::Tune(double offsetHz) {
  filter_.SetOffset(offsetHz);
  Interrupt();
}

void AmReceiver::Interrupt() {
  filter_.Reset();
  selectivity_.Reset();
  detector_.Reset();
  softMute_.Reset();
  firinterp_rrrf_reset(upsampler_.get());
  dcIn_ = dcOut_ = 0;
}

void AmReceiver::Demodulate(std::span<const Complex> iq) {
  channel_.clear();
  filter_.Process(iq, channel_);
  selectivity_.Process(channel_, selected_);
  detected_.clear();
  detector_.Process(selected_, detected_);
  selectivity_.Decide(detector_.CarrierPower());
}

void AmReceiver::Measure(std::span<const Complex> iq) { Demodulate(iq); }

void AmReceiver::Process(std::span<const Complex> iq, std::vector<float>& audio) {
  Demodulate(iq);
  for (float& sample : detected_) {
    const float in = sample;
    dcOut_ = in - dcIn_ + kDcPole * dcOut_;
    dcIn_ = in;
    sample = std::clamp(dcOut_, -kLimit, kLimit);
  }
  softMute_.SetCarrierToNoise(CarrierToNoiseDb());
  softMute_.Process(detected_);
  const size_t first = audio.size();
  audio.resize(first + detected_.size() * kUpsampling * 2);
  float* out = audio.data() + first;
  float doubled[kUpsampling];
  for (const float sample : detected_) {
    firinterp_rrrf_execute(upsampler_.get(), sample, doubled);
    for (const float value : doubled) {
      *out++ = value;
      *out++ = value;
    }
  }
}

std::optional<double> AmReceiver::CarrierToNoiseDb() const {
  const std::optional<AmDetector::Measure> measure = detector_.measure();
  if (!measure) return std::nullopt;
  // The quadrature holds half the noise of the chosen filter's bandwidth.
  const double noise =
      2 * measure->quadrature * kAmNoiseBandwidthHz / selectivity_.NoiseBandwidthHz();
  if (measure->carrier <= 0) return -100.0;
  if (noise <= 0) return 100.0;
  return 10 * std::log10(measure->carrier / noise);
}

int AmReceiver::Level() const { return LevelForCnr(CarrierToNoiseDb()); }

}  // namespace halvane::driver::sdr
