#include "sdr/dsp/am_detector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sdr/am_broadcast.h"

namespace halvane::driver::sdr {
namespace {

constexpr double kRate = kAmChannelRate;
// The loop pulls in a carrier up to about 300 Hz off with a wide loop and tracks with a narrow
// one: narrow enough that noise and the programme barely move it, wide enough to follow the
// carrier's phase through selective fading (a few radians a second at its steepest).
constexpr double kAcquireHz = 150;
constexpr double kTrackHz = 25;
// The averages of the carrier and the noise: about 20 ms.
constexpr double kMeanSmoothing = 1 / (0.02 * kRate);
// Lock: the in-phase mean at least this share of the mean magnitude, with the carrier at least
// this far above the quadrature noise, for 30 ms.
constexpr double kLockShare = 0.8;
constexpr double kLockCnr = 4;
constexpr size_t kLockSamples = static_cast<size_t>(0.03 * kRate);
// Once locked, the loop holds while its in-phase mean over 100 ms stands clear of what noise
// alone would leave in such a mean: through a fade the carrier is weak but steady, a loop that
// has lost it finds noise there. Lost once that has failed for half a second.
constexpr double kSlowSmoothing = 1 / (0.1 * kRate);
constexpr double kHoldRatio = 10 * kSlowSmoothing / 2;
constexpr size_t kLoseSamples = static_cast<size_t>(0.5 * kRate);
// The held carrier falls to the present one over about three seconds, longer than the deep
// fades of a sky wave.
constexpr double kHeldRelease = 1 / (3.0 * kRate);
constexpr float kBlendStep = static_cast<float>(1 / (0.005 * kRate));
// The measure: windows of 50 ms, the first after the loop has had 10 ms to pull in.
constexpr size_t kWindow = static_cast<size_t>(0.05 * kRate);
constexpr size_t kSettle = static_cast<size_t>(0.01 * kRate);
constexpr size_t kWindowMinimum = static_cast<size_t>(0.005 * kRate);
// The gain is never more than this: a channel with no carrier at all stays quiet.
constexpr double kSmallestCarrier = 1e-7;

}  // namespace

AmDetector::AmDetector() { Reset(); }

void AmDetector::SetLoopBandwidth(double hz) {
  // Second-order loop, damping 0.707: natural frequency from the noise bandwidth.
  constexpr double kDamping = 0.70710678;
  const double wn = 2 * hz / (kDamping + 1 / (4 * kDamping)) * 2 * std::numbers::pi / kRate;
  alpha_ = 2 * kDamping * wn;
  beta_ = wn * wn;
}

void AmDetector::Reset() {
  phase_ = 0;
  frequency_ = 0;
  carrier_ = magnitude_ = quadrature_ = held_ = 0;
  slowCarrier_ = slowQuadrature_ = 0;
  locked_ = false;
  lockedFor_ = lostFor_ = 0;
  blend_ = 0;
  samples_ = 0;
  windowInPhase_ = windowQuadrature_ = 0;
  windowCount_ = 0;
  published_.reset();
  SetLoopBandwidth(kAcquireHz);
}

std::optional<AmDetector::Measure> AmDetector::measure() const {
  if (published_) return published_;
  if (windowCount_ < kWindowMinimum) return std::nullopt;
  const double mean = windowInPhase_ / static_cast<double>(windowCount_);
  return Measure{mean * mean, windowQuadrature_ / static_cast<double>(windowCount_)};
}

void AmDetector::Process(std::span<const Complex> channel, std::vector<float>& out) {
  const size_t first = out.size();
  out.resize(first + channel.size());
  constexpr double kTwoPi = 2 * std::numbers::pi;
  for (size_t i = 0; i < channel.size(); ++i) {
    const Complex x = channel[i];
    const auto c = static_cast<float>(std::cos(phase_));
    const auto s = static_cast<float>(std::sin(phase_));
    // x times the conjugate of the local carrier.
    const float inPhase = x.real() * c + x.imag() * s;
    const float quadrature = x.imag() * c - x.real() * s;
    const float envelope = std::sqrt(inPhase * inPhase + quadrature * quadrature);

    carrier_ += kMeanSmoothing * (inPhase - carrier_);
    magnitude_ += kMeanSmoothing * (envelope - magnitude_);
    quadrature_ += kMeanSmoothing * (static_cast<double>(quadrature) * quadrature - quadrature_);
    slowCarrier_ += kSlowSmoothing * (inPhase - slowCarrier_);
    slowQuadrature_ +=
        kSlowSmoothing * (static_cast<double>(quadrature) * quadrature - slowQuadrature_);
    held_ = carrier_ > held_ ? carrier_ : held_ + kHeldRelease * (carrier_ - held_);

    // The phase error, normalised by the carrier so the loop's gain does not depend on the
    // station's strength, and bounded where the carrier has faded under its sidebands.
    const double reference = std::max(std::fabs(carrier_), 0.01 * held_);
    const double error =
        reference > 0 ? std::clamp(static_cast<double>(quadrature) / reference, -1.0, 1.0) : 0;
    frequency_ += beta_ * error;
    frequency_ = std::clamp(frequency_, -kTwoPi * 400 / kRate, kTwoPi * 400 / kRate);
    phase_ += frequency_ + alpha_ * error;
    if (phase_ > std::numbers::pi) phase_ -= kTwoPi;
    if (phase_ < -std::numbers::pi) phase_ += kTwoPi;

    const bool coherent =
        carrier_ > kLockShare * magnitude_ && carrier_ * carrier_ > kLockCnr * 2 * quadrature_;
    if (!locked_) {
      lockedFor_ = coherent ? lockedFor_ + 1 : 0;
      if (lockedFor_ >= kLockSamples) {
        locked_ = true;
        lostFor_ = 0;
        SetLoopBandwidth(kTrackHz);
      }
    } else {
      const bool holding =
          slowCarrier_ > 0 && slowCarrier_ * slowCarrier_ > kHoldRatio * slowQuadrature_;
      lostFor_ = holding ? 0 : lostFor_ + 1;
      if (lostFor_ >= kLoseSamples) {
        locked_ = false;
        lockedFor_ = 0;
        SetLoopBandwidth(kAcquireHz);
      }
    }
    blend_ = std::clamp(blend_ + (locked_ ? kBlendStep : -kBlendStep), 0.0f, 1.0f);
    const auto gain = static_cast<float>(1 / std::max(held_, kSmallestCarrier));
    out[first + i] = gain * (blend_ * inPhase + (1 - blend_) * envelope);

    if (++samples_ > kSettle) {
      windowInPhase_ += inPhase;
      windowQuadrature_ += static_cast<double>(quadrature) * quadrature;
      if (++windowCount_ == kWindow) {
        const double mean = windowInPhase_ / static_cast<double>(kWindow);
        published_ = Measure{mean * mean, windowQuadrature_ / static_cast<double>(kWindow)};
        windowInPhase_ = windowQuadrature_ = 0;
        windowCount_ = 0;
      }
    }
  }
}

}  // namespace halvane::driver::sdr
