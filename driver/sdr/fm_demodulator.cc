#include "sdr/fm_demodulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

constexpr float kResamplerStopbandDb = 60;
// The meter publishes every 50 ms and needs 5 ms before it says anything.
constexpr size_t kMeterWindow = kMultiplexRate / 20;
constexpr size_t kMeterMinimum = kMultiplexRate / 200;
// The resampler's filter is filling for this long after a reset.
constexpr size_t kSettleSamples = kMultiplexRate / 500;
// Noise reaches the meter through the whole multiplex-rate channel.
constexpr double kChannelToReferenceDb = 0.57;  // 10 log10(228 kHz / 200 kHz)

}  // namespace

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
  cnrDb_ =
      m2 > 0 && carrier > 0 ? 10 * std::log10(carrier / noise) + kChannelToReferenceDb : -100.0;
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
    : inputRate_(inputRate),
      mixer_(nco_crcf_create(LIQUID_VCO)),
      resampler_(msresamp_crcf_create(static_cast<float>(kMultiplexRate / inputRate),
                                      kResamplerStopbandDb)),
      discriminator_(freqdem_create(static_cast<float>(kDeviationHz / kMultiplexRate))),
      dcBlocker_(iirfilt_rrrf_create_dc_blocker(1e-4f)) {
  Reset();
}

void FmDemodulator::SetOffset(double hz) {
  offsetHz_ = hz;
  nco_crcf_set_frequency(mixer_.get(), static_cast<float>(2 * std::numbers::pi * hz / inputRate_));
}

void FmDemodulator::Reset() {
  nco_crcf_reset(mixer_.get());
  SetOffset(offsetHz_);
  msresamp_crcf_reset(resampler_.get());
  freqdem_reset(discriminator_.get());
  iirfilt_rrrf_reset(dcBlocker_.get());
  meter_.Reset();
  settle_ = kSettleSamples;
}

void FmDemodulator::Process(std::span<const Complex> iq, std::vector<float>& multiplex) {
  if (iq.empty()) return;
  mixed_.resize(iq.size());
  if (offsetHz_ != 0) {
    nco_crcf_mix_block_down(mixer_.get(), const_cast<Complex*>(iq.data()), mixed_.data(),
                            static_cast<unsigned>(iq.size()));
  } else {
    std::copy(iq.begin(), iq.end(), mixed_.begin());
  }
  channel_.resize(msresamp_crcf_get_num_output(resampler_.get(), static_cast<unsigned>(iq.size())) +
                  8);
  unsigned produced = 0;
  msresamp_crcf_execute(resampler_.get(), mixed_.data(), static_cast<unsigned>(iq.size()),
                        channel_.data(), &produced);
  const size_t first = multiplex.size();
  multiplex.resize(first + produced);
  for (unsigned i = 0; i < produced; ++i) {
    if (settle_ > 0) {
      --settle_;
    } else {
      meter_.Add(channel_[i]);
    }
  }
  freqdem_demodulate_block(discriminator_.get(), channel_.data(), produced,
                           multiplex.data() + first);
  iirfilt_rrrf_execute_block(dcBlocker_.get(), multiplex.data() + first, produced,
                             multiplex.data() + first);
}

}  // namespace halvane::driver::sdr
