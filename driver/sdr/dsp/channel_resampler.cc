#include "sdr/dsp/channel_resampler.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "sdr/dsp/fir_kernel.h"

namespace halvane::driver::sdr {

ChannelResampler::ChannelResampler(int64_t inputRate, int64_t outputRate,
                                   const ChannelShape& shape) {
  const auto common = static_cast<uint64_t>(std::gcd(inputRate, outputRate));
  up_ = static_cast<uint64_t>(outputRate) / common;
  down_ = static_cast<uint64_t>(inputRate) / common;
  phases_ = std::min(up_, kMaxPhases);
  // The prototype runs at `phases_` times the input rate.
  const double prototypeRate = static_cast<double>(phases_) * static_cast<double>(inputRate);
  const auto transition = static_cast<float>((shape.stopHz - shape.passHz) / prototypeRate);
  const auto cutoff = static_cast<float>((shape.stopHz + shape.passHz) / 2 / prototypeRate);
  const unsigned estimate =
      estimate_req_filter_len(transition, static_cast<float>(shape.stopbandDb));
  taps_ = std::max<size_t>(1, (estimate + phases_ - 1) / phases_);
  const size_t length = taps_ * phases_;
  std::vector<float> prototype(length);
  liquid_firdes_kaiser(static_cast<unsigned>(length), cutoff, static_cast<float>(shape.stopbandDb),
                       0.0f, prototype.data());
  // Each phase passes the band at unit gain.
  double sum = 0;
  for (const float tap : prototype) sum += tap;
  double squares = 0;
  for (float& tap : prototype) {
    tap = static_cast<float>(tap * static_cast<double>(phases_) / sum);
    squares += static_cast<double>(tap) * tap;
  }
  noiseBandwidthHz_ = static_cast<double>(inputRate) * squares / static_cast<double>(phases_);
  // Phase p of output time (newest input + p / phases) weighs input newest - j with
  // prototype[j * phases + p]; laid out oldest first for the dot product.
  padded_ = PaddedTapCount(taps_);
  paired_.reserve(phases_ * 2 * padded_);
  std::vector<float> phase(taps_);
  for (uint64_t p = 0; p < phases_; ++p) {
    for (size_t k = 0; k < taps_; ++k) phase[k] = prototype[(taps_ - 1 - k) * phases_ + p];
    const std::vector<float> paired = PairedTaps(phase);
    paired_.insert(paired_.end(), paired.begin(), paired.end());
  }
  Reset();
}

void ChannelResampler::Reset() {
  input_.assign(taps_ - 1, Complex{});
  next_ = taps_ - 1;
  fraction_ = 0;
}

void ChannelResampler::Process(std::span<const Complex> in, std::vector<Complex>& out) {
  const size_t history = taps_ - 1;
  input_.insert(input_.end(), in.begin(), in.end());
  const size_t available = input_.size();
  input_.resize(available + padded_ - taps_);  // readable zeros for the padded taps
  while (next_ < available) {
    const uint64_t phase = phases_ == up_ ? fraction_ : fraction_ * phases_ / up_;
    out.push_back(DotComplexReal(&input_[next_ - history], &paired_[phase * 2 * padded_], padded_));
    fraction_ += down_;
    next_ += fraction_ / up_;
    fraction_ %= up_;
  }
  input_.resize(available);
  const size_t drop = std::min(next_ - history, available - history);
  input_.erase(input_.begin(), input_.begin() + static_cast<ptrdiff_t>(drop));
  next_ -= drop;
}

}  // namespace halvane::driver::sdr
