#include "sdr/dsp/quality_meter.h"

#include <algorithm>
#include <cmath>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// Fewer samples than this (about 1 ms) say too little about a piece.
constexpr size_t kMinimumSamples = kMultiplexRate / 1000;

}  // namespace

void EnvelopeMoments::Add(std::span<const Complex> samples) {
  double m2 = 0;
  double m4 = 0;
  for (const Complex sample : samples) {
    const double p = std::norm(sample);
    m2 += p;
    m4 += p * p;
  }
  const auto n = static_cast<double>(count);
  const auto total = n + static_cast<double>(samples.size());
  if (total == 0) return;
  this->m2 = (this->m2 * n + m2) / total;
  this->m4 = (this->m4 * n + m4) / total;
  count += samples.size();
}

std::optional<double> EnvelopeMoments::CarrierToNoise() const {
  if (count == 0 || m2 <= 0) return std::nullopt;
  const double carrier = std::sqrt(std::max(2 * m2 * m2 - m4, 0.0));
  if (carrier <= 0) return std::nullopt;
  const double noise = std::max(m2 - carrier, m2 * 1e-6);
  return carrier / noise;
}

double EnvelopeMoments::Swing() const { return m2 > 0 ? m4 / (m2 * m2) - 1 : 0; }

QualityMeter::QualityMeter(double noiseBandwidthHz)
    : referenceDb_(10 * std::log10(noiseBandwidthHz / kNoiseBandwidthHz)) {}

std::optional<double> QualityMeter::CarrierToNoiseDb(const EnvelopeMoments& moments) const {
  if (moments.count < kMinimumSamples) return std::nullopt;
  const std::optional<double> cnr = moments.CarrierToNoise();
  return cnr ? 10 * std::log10(*cnr) + referenceDb_ : -100.0;
}

}  // namespace halvane::driver::sdr
