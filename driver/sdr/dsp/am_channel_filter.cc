#include "sdr/dsp/am_channel_filter.h"

#include <cmath>
#include <numbers>

#include "sdr/am_broadcast.h"

namespace halvane::driver::sdr {
namespace {

constexpr double kHalfbandStopbandDb = 80;
// Halving goes on while the channel filter keeps a wide transition at the next rate.
constexpr double kHalvingFloor = 64'000;
// Impulses are blanked at the first rate at or below this: short enough a click is still a
// sample or two, low enough the blanker costs little.
constexpr double kBlankingRate = 256'000;

// The half-band stages ahead of the blanker: the first rate at or below kBlankingRate, or the
// last one there is.
size_t StagesBeforeBlanking(double inputRate) {
  const auto last = static_cast<double>(RateAfterHalving(inputRate, kHalvingFloor));
  size_t n = 0;
  for (double rate = inputRate; rate > kBlankingRate && rate / 2 >= last; rate /= 2) ++n;
  return n;
}

}  // namespace

AmChannelFilter::AmChannelFilter(double inputRate)
    : inputRate_(inputRate),
      halfbands_(HalvingCascade(inputRate, kHalvingFloor, kAmChannel.stopHz, kHalfbandStopbandDb)),
      blankAfter_(StagesBeforeBlanking(inputRate)),
      blanker_(inputRate / std::pow(2.0, static_cast<double>(blankAfter_))),
      resampler_(RateAfterHalving(inputRate, kHalvingFloor), kAmChannelRate, kAmChannel) {}

void AmChannelFilter::SetOffset(double hz) { offsetHz_ = hz; }

void AmChannelFilter::Reset() {
  phase_ = 0;
  for (HalfbandDecimator& stage : halfbands_) stage.Reset();
  blanker_.Reset();
  resampler_.Reset();
}

void AmChannelFilter::Mix(std::span<const Complex> iq) {
  // Four rotating phasors a sample apart, each stepping four samples at a time: four products
  // that do not wait on each other. They are set afresh from the phase in double precision at
  // every block, so their rounding never builds up.
  constexpr size_t kWays = 4;
  const double turnsPerSample = -offsetHz_ / inputRate_;
  const auto phasor = [](double turns) {
    return static_cast<Complex>(std::polar(1.0, 2 * std::numbers::pi * turns));
  };
  const Complex step = phasor(turnsPerSample * kWays);
  float re[kWays];
  float im[kWays];
  for (size_t k = 0; k < kWays; ++k) {
    const Complex start = phasor(phase_ + turnsPerSample * static_cast<double>(k));
    re[k] = start.real();
    im[k] = start.imag();
  }
  mixed_.resize(iq.size());
  // As plain floats (a complex value is its two parts in a row): the compiler keeps them in
  // registers rather than passing each sample through memory.
  const auto* in = reinterpret_cast<const float*>(iq.data());
  auto* out = reinterpret_cast<float*>(mixed_.data());
  const float stepRe = step.real();
  const float stepIm = step.imag();
  size_t i = 0;
  for (; i + kWays <= iq.size(); i += kWays) {
    for (size_t k = 0; k < kWays; ++k) {
      const float xr = in[2 * (i + k)];
      const float xi = in[2 * (i + k) + 1];
      out[2 * (i + k)] = xr * re[k] - xi * im[k];
      out[2 * (i + k) + 1] = xr * im[k] + xi * re[k];
      const float r = re[k] * stepRe - im[k] * stepIm;
      im[k] = re[k] * stepIm + im[k] * stepRe;
      re[k] = r;
    }
  }
  for (size_t k = 0; i < iq.size(); ++i, ++k) {
    const float xr = in[2 * i];
    const float xi = in[2 * i + 1];
    out[2 * i] = xr * re[k] - xi * im[k];
    out[2 * i + 1] = xr * im[k] + xi * re[k];
  }
  phase_ += turnsPerSample * static_cast<double>(iq.size());
  phase_ -= std::floor(phase_);
}

void AmChannelFilter::Process(std::span<const Complex> iq, std::vector<Complex>& channel) {
  if (iq.empty()) return;
  Mix(iq);
  std::vector<Complex>* signal = &mixed_;
  for (size_t i = 0; i <= halfbands_.size(); ++i) {
    if (i == blankAfter_) blanker_.Process(*signal);
    if (i == halfbands_.size()) break;
    std::vector<Complex>& out = stage_[i % 2];
    out.clear();
    halfbands_[i].Process(*signal, out);
    signal = &out;
  }
  resampler_.Process(*signal, channel);
}

}  // namespace halvane::driver::sdr
