#include "sdr/sources/programme_feed.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace halvane::driver::sdr {
namespace {

constexpr unsigned kInterpolation = 4;  // 48 kHz to 192 kHz
constexpr double kFineRate = programme::kRate * kInterpolation;
// The interpolator passes the programme to 15 kHz and stops well before the 19 kHz pilot; on AM
// it passes 4.5 kHz and stops before 7 kHz, inside the neighbours' carriers 9 kHz away.
constexpr unsigned kInterpolatorTaps = 161;
constexpr float kInterpolatorCutoffHz = 17'000;
constexpr unsigned kAmInterpolatorTaps = 321;
constexpr float kAmInterpolatorCutoffHz = 5'600;
constexpr size_t kBlockFrames = 960;  // 20 ms a block
// The limiter sees this far ahead, so its gain is down before a peak arrives: 1 ms.
constexpr size_t kLookAheadFrames = 48;
// It lets go over about 100 ms, as a broadcast limiter does between syllables and beats.
constexpr float kRelease = 10.0f / programme::kRate;
// Stations drive their limiter: the programme is raised 4 dB into it.
constexpr float kDrive = 1.6f;
// The pre-emphasis's shelf ends near 19 kHz, as a transmitter's does at the band's edge.
constexpr double kShelfTopUs = 1e6 / (2 * std::numbers::pi * 19'000);

RealInterpolator MakeInterpolator(bool am) {
  const unsigned count = am ? kAmInterpolatorTaps : kInterpolatorTaps;
  const float cutoff = am ? kAmInterpolatorCutoffHz : kInterpolatorCutoffHz;
  std::vector<float> taps(count);
  liquid_firdes_kaiser(count, cutoff / static_cast<float>(kFineRate), 60.0f, 0.0f, taps.data());
  float sum = 0;
  for (const float tap : taps) sum += tap;
  // The zeros inserted between samples take three quarters of the level back.
  for (float& tap : taps) tap *= kInterpolation / sum;
  return RealInterpolator(firinterp_rrrf_create(kInterpolation, taps.data(), count));
}

}  // namespace

ProgrammeFeed::ProgrammeFeed(const programme::Options& options, double preemphasisUs, bool am,
                             Announcements announcements)
    : programme_(programme::MakeProgramme(options)),
      am_(am),
      announcements_(std::move(announcements)),
      delayed_(2 * kLookAheadFrames, 0.0f),
      upLeft_(MakeInterpolator(am)),
      upRight_(MakeInterpolator(am)) {
  if (preemphasisUs > 0) {
    const double k = 2.0 * programme::kRate;
    const double tau1 = preemphasisUs * 1e-6;
    const double tau2 = kShelfTopUs * 1e-6;
    const double a0 = 1 + k * tau2;
    b0_ = static_cast<float>((1 + k * tau1) / a0);
    b1_ = static_cast<float>((1 - k * tau1) / a0);
    a1_ = static_cast<float>((1 - k * tau2) / a0);
  }
}

void ProgrammeFeed::PreEmphasise(std::span<float> block) {
  for (size_t i = 0; i + 1 < block.size(); i += 2) {
    for (size_t c = 0; c < 2; ++c) {
      const float in = block[i + c] * kDrive;
      const float out = b0_ * in + b1_ * lastIn_[c] - a1_ * lastOut_[c];
      lastIn_[c] = in;
      lastOut_[c] = out;
      block[i + c] = out;
    }
  }
}

void ProgrammeFeed::Limit(std::span<float> block) {
  // Through the look-ahead: each frame leaves it at the least gain any frame inside asks for.
  for (size_t i = 0; i + 1 < block.size(); i += 2) {
    std::rotate(delayed_.begin(), delayed_.begin() + 2, delayed_.end());
    delayed_[delayed_.size() - 2] = block[i];
    delayed_[delayed_.size() - 1] = block[i + 1];
    float peak = 0;
    for (const float sample : delayed_) peak = std::max(peak, std::fabs(sample));
    const float wanted = peak > 1 ? 1 / peak : 1;
    gain_ = wanted < gain_ ? wanted : std::min(wanted, gain_ + kRelease);
    block[i] = std::clamp(delayed_[0] * gain_, -1.0f, 1.0f);
    block[i + 1] = std::clamp(delayed_[1] * gain_, -1.0f, 1.0f);
  }
}

void ProgrammeFeed::Extend() {
  block_.assign(2 * kBlockFrames, 0.0f);
  if (announcements_) {
    programme_->SetAnnouncement(
        announcements_(static_cast<double>(renderedFrames_) / programme::kRate));
  }
  renderedFrames_ += kBlockFrames;
  programme_->Render(block_);
  PreEmphasise(block_);
  Limit(block_);
  float left[kInterpolation];
  float right[kInterpolation];
  for (size_t i = 0; i + 1 < block_.size(); i += 2) {
    if (am_) {
      // AM is mono: one channel to make, heard on both.
      firinterp_rrrf_execute(upLeft_.get(), 0.5f * (block_[i] + block_[i + 1]), left);
      for (const float sample : left) {
        const float mono = std::clamp(sample, -1.0f, 1.0f);
        fine_.push_back({mono, mono});
      }
      continue;
    }
    firinterp_rrrf_execute(upLeft_.get(), block_[i], left);
    firinterp_rrrf_execute(upRight_.get(), block_[i + 1], right);
    for (unsigned k = 0; k < kInterpolation; ++k) {
      // Between samples the interpolation may overshoot a little: the limit holds still.
      fine_.push_back({std::clamp(left[k], -1.0f, 1.0f), std::clamp(right[k], -1.0f, 1.0f)});
    }
  }
}

StereoSample ProgrammeFeed::At(double t) {
  position_ = t;
  const double index = t * kFineRate;
  while (static_cast<double>(fineStart_ + fine_.size()) < index + 2) Extend();
  double local = index - static_cast<double>(fineStart_);
  if (local > 16384) {
    // Forget what lies well behind.
    const auto drop = static_cast<size_t>(local) - 4;
    fine_.erase(fine_.begin(), fine_.begin() + static_cast<ptrdiff_t>(drop));
    fineStart_ += drop;
    local -= static_cast<double>(drop);
  }
  const auto i = static_cast<size_t>(std::max(0.0, local));
  const auto frac = static_cast<float>(local - static_cast<double>(i));
  return {fine_[i].left + (fine_[i + 1].left - fine_[i].left) * frac,
          fine_[i].right + (fine_[i + 1].right - fine_[i].right) * frac};
}

}  // namespace halvane::driver::sdr
