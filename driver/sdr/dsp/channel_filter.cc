#include "sdr/dsp/channel_filter.h"

#include <cmath>
#include <numbers>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// Each half-band stage keeps the band up to the channel filter's stop edge clean; halving goes on
// while the next rate leaves a transition of at least 20 kHz for it.
constexpr double kHalfbandStopbandDb = 80;
constexpr double kHalvingFloor = 2 * kBroadcastChannel.stopHz + 20'000;

}  // namespace

ChannelFilter::ChannelFilter(double inputRate)
    : inputRate_(inputRate),
      resampler_(RateAfterHalving(inputRate, kHalvingFloor), kMultiplexRate, kBroadcastChannel) {
  halfbands_ =
      HalvingCascade(inputRate, kHalvingFloor, kBroadcastChannel.stopHz, kHalfbandStopbandDb);
}

void ChannelFilter::SetOffset(double hz) { offsetHz_ = hz; }

void ChannelFilter::Reset() {
  phase_ = 0;
  for (HalfbandDecimator& stage : halfbands_) stage.Reset();
  resampler_.Reset();
}

void ChannelFilter::Mix(std::span<const Complex> iq) {
  // A rotating phasor, set afresh from the phase in double precision at every block so that its
  // rounding never builds up.
  const double turnsPerSample = -offsetHz_ / inputRate_;
  const auto step = static_cast<Complex>(std::polar(1.0, 2 * std::numbers::pi * turnsPerSample));
  Complex rotor = static_cast<Complex>(std::polar(1.0, 2 * std::numbers::pi * phase_));
  mixed_.resize(iq.size());
  // Written out: the library's complex product checks for infinities at every sample.
  const auto times = [](Complex a, Complex b) {
    return Complex(a.real() * b.real() - a.imag() * b.imag(),
                   a.real() * b.imag() + a.imag() * b.real());
  };
  for (size_t i = 0; i < iq.size(); ++i) {
    mixed_[i] = times(iq[i], rotor);
    rotor = times(rotor, step);
  }
  phase_ += turnsPerSample * static_cast<double>(iq.size());
  phase_ -= std::floor(phase_);
}

void ChannelFilter::Process(std::span<const Complex> iq, std::vector<Complex>& channel) {
  if (iq.empty()) return;
  std::span<const Complex> signal = iq;
  if (offsetHz_ != 0) {
    Mix(iq);
    signal = mixed_;
  }
  for (size_t i = 0; i < halfbands_.size(); ++i) {
    std::vector<Complex>& out = stage_[i % 2];
    out.clear();
    halfbands_[i].Process(signal, out);
    signal = out;
  }
  resampler_.Process(signal, channel);
}

}  // namespace halvane::driver::sdr
