#include "sdr/dsp/noise_blanker.h"

#include <algorithm>
#include <cmath>

namespace halvane::driver::sdr {
namespace {

// A sample this many times the average power is an impulse: complex Gaussian noise alone goes
// so high once in e^12 samples (a few times a minute at 256 kHz), a carrier never.
constexpr float kThreshold = 12;
constexpr double kAverageS = 0.005;
// The stages ahead of the blanker spread an impulse over some 25 microseconds.
constexpr double kGuardS = 25e-6;
// Impulses last microseconds; a signal that stays this far above its past for this long has
// grown (a station fading in, a gain step) and is taken as it is.
constexpr double kLongestS = 0.0005;

}  // namespace

NoiseBlanker::NoiseBlanker(double rate)
    : smoothing_(static_cast<float>(1 / (kAverageS * rate))),
      guard_(std::max(1, static_cast<int>(std::lround(kGuardS * rate)))),
      longest_(std::max(4, static_cast<int>(std::lround(kLongestS * rate)))),
      delay_(static_cast<size_t>(guard_)) {
  Reset();
}

void NoiseBlanker::Reset() {
  average_ = 0;
  holding_ = 0;
  run_ = 0;
  std::fill(delay_.begin(), delay_.end(), Complex{});
  next_ = 0;
  last_ = {};
  blanked_ = 0;
  warmup_ = static_cast<int>(1 / smoothing_);
}

void NoiseBlanker::Process(std::span<Complex> samples) {
  for (Complex& sample : samples) {
    const Complex in = sample;
    const float power = std::norm(in);
    sample = delay_[next_];
    delay_[next_] = in;
    next_ = next_ + 1 == delay_.size() ? 0 : next_ + 1;
    if (warmup_ > 0) {
      --warmup_;
      average_ += (power - average_) * std::max(smoothing_, 1.0f / 64);
      last_ = sample;
      continue;
    }
    // The impulse's samples still in the delay and those after it are blanked.
    if (power > kThreshold * average_) {
      holding_ = 2 * guard_ + 1;
    } else {
      average_ += (power - average_) * smoothing_;
    }
    if (holding_ > 0 && run_ < longest_) {
      --holding_;
      ++run_;
      sample = last_;
      ++blanked_;
      continue;
    }
    if (run_ >= longest_) average_ = power;
    holding_ = 0;
    run_ = 0;
    last_ = sample;
  }
}

}  // namespace halvane::driver::sdr
