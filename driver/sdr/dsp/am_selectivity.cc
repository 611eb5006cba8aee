#include "sdr/dsp/am_selectivity.h"

#include <algorithm>
#include <cmath>

#include "sdr/am_broadcast.h"
#include "sdr/dsp/fir_kernel.h"

namespace halvane::driver::sdr {
namespace {

constexpr size_t kTaps = 97;
constexpr float kStopbandDb = 75;

struct Shape {
  double passHz;
  double stopHz;
};
// Wide stops short of a 9 kHz neighbour's nearest sideband of a 1 kHz tone (8 kHz); the
// narrower ones keep its speech and music sidebands, which reach down to 4.5 kHz from the
// centre, out as well.
constexpr std::array<Shape, 3> kShapes{{
    {kAmWideAudioHz, 7'800},
    {4'000, 5'600},
    {2'700, 4'300},
}};

// The power beyond the wide passband against the carrier, in dB, above which the next narrower
// bandwidth is taken (and 4 dB below which the wider one again): a neighbour 9 kHz away whose
// carrier is as strong as the wanted one's would be heard as a whistle and a mumble at 6 kHz.
constexpr std::array<double, 2> kNarrowAboveDb{-26, -12};
constexpr double kHysteresisDb = 4;
// The measure is smoothed over about half a second of pieces.
constexpr double kSmoothing = 0.2;

std::vector<float> Design(const Shape& shape, double& noiseBandwidthHz) {
  std::vector<float> taps(kTaps);
  const auto cutoff = static_cast<float>((shape.passHz + shape.stopHz) / 2 / kAmChannelRate);
  liquid_firdes_kaiser(kTaps, cutoff, kStopbandDb, 0.0f, taps.data());
  double sum = 0;
  for (const float tap : taps) sum += tap;
  double squares = 0;
  for (float& tap : taps) {
    tap = static_cast<float>(tap / sum);
    squares += static_cast<double>(tap) * tap;
  }
  noiseBandwidthHz = kAmChannelRate * squares;
  return PairedTaps(taps);
}

}  // namespace

AmSelectivity::AmSelectivity() : padded_(PaddedTapCount(kTaps)) {
  for (size_t i = 0; i < kShapes.size(); ++i) taps_[i] = Design(kShapes[i], noiseBandwidthHz_[i]);
  Reset();
}

void AmSelectivity::Reset() {
  history_.assign(kTaps - 1, Complex{});
  chosen_ = kNarrow;
  outside_ = total_ = wide_ = 0;
  counted_ = 0;
  ratioDb_ = 0;
  measured_ = false;
}

double AmSelectivity::AudioHz() const { return kShapes[chosen_].passHz; }

void AmSelectivity::Process(std::span<const Complex> channel, std::vector<Complex>& out) {
  const size_t history = kTaps - 1;
  history_.insert(history_.end(), channel.begin(), channel.end());
  const size_t available = history_.size();
  history_.resize(available + padded_ - kTaps);  // readable zeros for the padded taps
  out.resize(channel.size());
  const float* chosen = taps_[chosen_].data();
  const float* wide = taps_[kWide].data();
  for (size_t i = 0; i < channel.size(); ++i) {
    const Complex* x = &history_[i];
    out[i] = DotComplexReal(x, chosen, padded_);
    const Complex passed = chosen_ == kWide ? out[i] : DotComplexReal(x, wide, padded_);
    total_ += std::norm(x[history / 2]);
    wide_ += std::norm(passed);
  }
  counted_ += channel.size();
  history_.resize(available);
  history_.erase(history_.begin(), history_.end() - static_cast<ptrdiff_t>(history));
}

void AmSelectivity::Decide(double carrierPower) {
  if (counted_ == 0) return;
  outside_ = std::max(total_ - wide_, 0.0) / static_cast<double>(counted_);
  total_ = wide_ = 0;
  counted_ = 0;
  if (carrierPower <= 0) return;
  const double ratioDb = 10 * std::log10(std::max(outside_ / carrierPower, 1e-12));
  ratioDb_ = measured_ ? ratioDb_ + kSmoothing * (ratioDb - ratioDb_) : ratioDb;
  measured_ = true;
  // The bandwidth the measure calls for, with hysteresis around the present one.
  size_t wanted = 0;
  for (size_t i = 0; i < kNarrowAboveDb.size(); ++i) {
    const double edge = kNarrowAboveDb[i] - (i < chosen_ ? kHysteresisDb : 0);
    if (ratioDb_ > edge) wanted = i + 1;
  }
  chosen_ = wanted;
}

}  // namespace halvane::driver::sdr
