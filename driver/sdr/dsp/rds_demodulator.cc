#include "sdr/dsp/rds_demodulator.h"

#include <cmath>
#include <numbers>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// 228 kHz / 24 = 9500 Hz: 4 samples a chip.
constexpr unsigned kDecimation = 24;
constexpr unsigned kSamplesPerChip = 4;
static_assert(kMultiplexRate == kDecimation * kSamplesPerChip * kRdsChipRate);
constexpr unsigned kDecimatorSemiLength = 8;
constexpr float kDecimatorStopbandDb = 60;
constexpr unsigned kMatchedSemiLength = 4;  // chips, as the transmitter's shaping
constexpr unsigned kFilterBank = 32;
constexpr float kTimingBandwidth = 0.002f;
constexpr float kAgcBandwidth = 1e-3f;
constexpr float kCostasBandwidth = 1e-4f;
// Pair alignment averages over about 50 bits.
constexpr float kPairAverage = 0.02f;

}  // namespace

RdsDemodulator::RdsDemodulator()
    : freeCarrier_(nco_crcf_create(LIQUID_VCO)),
      decimator_(
          firdecim_crcf_create_kaiser(kDecimation, kDecimatorSemiLength, kDecimatorStopbandDb)),
      symbolSync_(symsync_crcf_create_rnyquist(LIQUID_FIRFILT_RRC, kSamplesPerChip,
                                               kMatchedSemiLength, 1.0f, kFilterBank)),
      agc_(agc_crcf_create()),
      costas_(nco_crcf_create(LIQUID_VCO)) {
  Reset();
}

void RdsDemodulator::Reset() {
  nco_crcf_reset(freeCarrier_.get());
  nco_crcf_set_frequency(freeCarrier_.get(),
                         static_cast<float>(2 * std::numbers::pi * kRdsCarrierHz / kMultiplexRate));
  firdecim_crcf_reset(decimator_.get());
  // The decimator adds its taps up; the matched filter expects unit gain.
  firdecim_crcf_set_scale(decimator_.get(), 1.0f / kDecimation);
  agc_crcf_reset(agc_.get());
  agc_crcf_set_bandwidth(agc_.get(), kAgcBandwidth);
  symsync_crcf_reset(symbolSync_.get());
  symsync_crcf_set_lf_bw(symbolSync_.get(), kTimingBandwidth);
  nco_crcf_reset(costas_.get());
  nco_crcf_pll_set_bandwidth(costas_.get(), kCostasBandwidth);
  baseband_.clear();
  previousChip_ = 0;
  chipCount_ = 0;
  pairEnergy_[0] = pairEnergy_[1] = 0;
  previousBit_ = 0;
}

void RdsDemodulator::Process(std::span<const float> multiplex, std::span<const float> pilotPhase,
                             bool pilotLocked, std::vector<uint8_t>& bits) {
  for (size_t i = 0; i < multiplex.size(); ++i) {
    const float phase = pilotLocked ? 3 * pilotPhase[i] : nco_crcf_get_phase(freeCarrier_.get());
    nco_crcf_step(freeCarrier_.get());
    baseband_.push_back(multiplex[i] * std::polar(1.0f, -phase));
  }
  // Whole decimation blocks only; the rest waits for the next call.
  const size_t blocks = baseband_.size() / kDecimation;
  decimated_.resize(blocks);
  firdecim_crcf_execute_block(decimator_.get(), baseband_.data(), static_cast<unsigned>(blocks),
                              decimated_.data());
  baseband_.erase(baseband_.begin(),
                  baseband_.begin() + static_cast<ptrdiff_t>(blocks * kDecimation));
  // Timing recovery and the Costas loop work on unit amplitude, whatever the injection level.
  agc_crcf_execute_block(agc_.get(), decimated_.data(), static_cast<unsigned>(blocks),
                         decimated_.data());
  chips_.resize(decimated_.size() * 2 + 8);
  unsigned produced = 0;
  symsync_crcf_execute(symbolSync_.get(), decimated_.data(),
                       static_cast<unsigned>(decimated_.size()), chips_.data(), &produced);
  for (unsigned i = 0; i < produced; ++i) {
    Complex chip;
    nco_crcf_mix_down(costas_.get(), chips_[i], &chip);
    // BPSK Costas loop: the decision's sign removes the data from the phase error.
    const float error = chip.imag() * (chip.real() >= 0 ? 1.0f : -1.0f) / (std::abs(chip) + 1e-9f);
    nco_crcf_pll_step(costas_.get(), error);
    nco_crcf_step(costas_.get());
    OnChip(chip.real(), bits);
  }
}

void RdsDemodulator::OnChip(float chip, std::vector<uint8_t>& bits) {
  // A biphase bit always changes sign in its middle: the pairing that makes the larger
  // differences is the right one.
  const float difference = previousChip_ - chip;
  const unsigned slot = static_cast<unsigned>(chipCount_++ & 1);
  pairEnergy_[slot] += kPairAverage * (std::fabs(difference) - pairEnergy_[slot]);
  const unsigned chosen = pairEnergy_[1] > pairEnergy_[0] ? 1 : 0;
  if (slot == chosen) {
    const uint8_t bit = difference > 0 ? 1 : 0;
    bits.push_back(bit ^ previousBit_);
    previousBit_ = bit;
  }
  previousChip_ = chip;
}

}  // namespace halvane::driver::sdr
