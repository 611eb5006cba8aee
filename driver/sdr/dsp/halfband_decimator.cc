#include "sdr/dsp/halfband_decimator.h"

#include <algorithm>
#include <cmath>

#include "sdr/dsp/fir_kernel.h"

namespace halvane::driver::sdr {

HalfbandDecimator::HalfbandDecimator(double inputRate, double keepHz, double stopbandDb) {
  const auto transition = static_cast<float>(0.5 - 2 * keepHz / inputRate);
  const unsigned estimate =
      estimate_req_filter_len(std::max(transition, 0.01f), static_cast<float>(stopbandDb));
  // A half-band filter has 4K - 1 taps: the centre, and 2K beside it at odd distances.
  const size_t k = std::max<size_t>(1, (estimate + 1 + 3) / 4);
  const size_t length = 4 * k - 1;
  std::vector<float> taps(length);
  liquid_firdes_kaiser(static_cast<unsigned>(length), 0.25f, static_cast<float>(stopbandDb), 0.0f,
                       taps.data());
  double sum = 0;
  for (const float tap : taps) sum += tap;
  branchTaps_ = 2 * k;
  std::vector<float> branch(branchTaps_);
  for (size_t j = 0; j < branchTaps_; ++j) branch[j] = static_cast<float>(taps[2 * j] / sum);
  centre_ = static_cast<float>(taps[length / 2] / sum);
  paired_ = PairedTaps(branch);
  Reset();
}

void HalfbandDecimator::Reset() {
  even_.assign(branchTaps_ - 1, Complex{});
  odd_.assign(branchTaps_ / 2, Complex{});
  hasPending_ = false;
}

void HalfbandDecimator::Process(std::span<const Complex> in, std::vector<Complex>& out) {
  size_t i = 0;
  if (hasPending_ && !in.empty()) {
    even_.push_back(pending_);
    odd_.push_back(in[0]);
    hasPending_ = false;
    i = 1;
  }
  for (; i + 1 < in.size(); i += 2) {
    even_.push_back(in[i]);
    odd_.push_back(in[i + 1]);
  }
  if (i < in.size()) {
    pending_ = in[i];
    hasPending_ = true;
  }
  const size_t history = branchTaps_ - 1;
  const size_t fresh = even_.size() - history;
  const size_t padded = PaddedTapCount(branchTaps_);
  even_.resize(even_.size() + padded - branchTaps_);  // readable zeros for the padded taps
  const size_t first = out.size();
  out.resize(first + fresh);
  for (size_t n = 0; n < fresh; ++n) {
    out[first + n] = DotComplexReal(&even_[n], paired_.data(), padded) + centre_ * odd_[n];
  }
  even_.erase(even_.begin(), even_.begin() + static_cast<ptrdiff_t>(fresh));
  even_.resize(history);
  odd_.erase(odd_.begin(), odd_.begin() + static_cast<ptrdiff_t>(fresh));
}

int64_t RateAfterHalving(double inputRate, double floorHz) {
  int64_t rate = std::llround(inputRate);
  while (rate % 2 == 0 && static_cast<double>(rate) / 2 >= floorHz) rate /= 2;
  return rate;
}

std::vector<HalfbandDecimator> HalvingCascade(double inputRate, double floorHz, double keepHz,
                                              double stopbandDb) {
  std::vector<HalfbandDecimator> stages;
  const int64_t last = RateAfterHalving(inputRate, floorHz);
  for (int64_t rate = std::llround(inputRate); rate > last; rate /= 2) {
    stages.emplace_back(static_cast<double>(rate), keepHz, stopbandDb);
  }
  return stages;
}

}  // namespace halvane::driver::sdr
