#include "sdr/dsp/fm_demodulator.h"

#include <algorithm>
#include <cmath>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// The meter publishes every 50 ms and needs 5 ms before it says anything.
constexpr size_t kMeterWindow = kMultiplexRate / 20;
constexpr size_t kMeterMinimum = kMultiplexRate / 200;
// The channel filter is filling for this long after a reset.
constexpr size_t kSettleSamples = kMultiplexRate / 500;
// The AGC follows the channel's power over about 5 ms (a block's mean, smoothed), so the
// discriminator sees unit power whatever the device's gain and the station's strength.
constexpr float kAgcSmoothing = 0.5f;

}  // namespace

ChannelMeter::ChannelMeter(double noiseBandwidthHz)
    : referenceDb_(10 * std::log10(noiseBandwidthHz / kNoiseBandwidthHz)) {}

void ChannelMeter::Add(Complex sample) {
  const double p = std::norm(sample);
  m2_ += p;
  m4_ += p * p;
  if (++count_ >= kMeterWindow) {
    Publish();
    m2_ = m4_ = 0;
    count_ = 0;
  }
}

void ChannelMeter::Publish() {
  const double m2 = m2_ / static_cast<double>(count_);
  const double m4 = m4_ / static_cast<double>(count_);
  const double carrier = std::sqrt(std::max(2 * m2 * m2 - m4, 0.0));
  const double noise = std::max(m2 - carrier, m2 * 1e-6);
  power_ = m2;
  cnrDb_ = m2 > 0 && carrier > 0 ? 10 * std::log10(carrier / noise) + referenceDb_ : -100.0;
}

void ChannelMeter::Reset() {
  m2_ = m4_ = 0;
  count_ = 0;
  cnrDb_.reset();
  power_ = 0;
}

std::optional<double> ChannelMeter::CarrierToNoiseDb() const {
  if (cnrDb_) return cnrDb_;
  if (count_ < kMeterMinimum) return std::nullopt;
  ChannelMeter partial = *this;
  partial.Publish();
  return partial.cnrDb_;
}

FmDemodulator::FmDemodulator(double inputRate)
    : filter_(inputRate),
      discriminator_(freqdem_create(static_cast<float>(kDeviationHz / kMultiplexRate))),
      dcBlocker_(iirfilt_rrrf_create_dc_blocker(1e-4f)),
      meter_(filter_.NoiseBandwidthHz()) {
  Reset();
}

void FmDemodulator::SetOffset(double hz) { filter_.SetOffset(hz); }

void FmDemodulator::Reset() {
  filter_.Reset();
  gain_ = 1;
  freqdem_reset(discriminator_.get());
  iirfilt_rrrf_reset(dcBlocker_.get());
  meter_.Reset();
  settle_ = kSettleSamples;
}

void FmDemodulator::Process(std::span<const Complex> iq, std::vector<float>& multiplex) {
  channel_.clear();
  filter_.Process(iq, channel_);
  const size_t produced = channel_.size();
  if (produced == 0) return;
  double power = 0;
  for (const Complex sample : channel_) {
    if (settle_ > 0) {
      --settle_;
    } else {
      meter_.Add(sample);
    }
    power += std::norm(sample);
  }
  // The meter has seen the channel as it came; the demodulator takes it levelled.
  power /= static_cast<double>(produced);
  if (power > 0) {
    const auto target = static_cast<float>(1 / std::sqrt(power));
    gain_ += kAgcSmoothing * (target - gain_);
    for (Complex& sample : channel_) sample *= gain_;
  }
  const size_t first = multiplex.size();
  multiplex.resize(first + produced);
  freqdem_demodulate_block(discriminator_.get(), channel_.data(), static_cast<unsigned>(produced),
                           multiplex.data() + first);
  iirfilt_rrrf_execute_block(dcBlocker_.get(), multiplex.data() + first,
                             static_cast<unsigned>(produced), multiplex.data() + first);
}

}  // namespace halvane::driver::sdr
