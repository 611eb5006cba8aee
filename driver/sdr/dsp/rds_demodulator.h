// From the multiplex to RDS data bits: the 57 kHz subcarrier is mixed to baseband (on three
// times the pilot's phase when the pilot is locked, else on a free oscillator), filtered and
// decimated, matched-filtered with symbol timing recovery, phase-tracked by a Costas loop and
// decided as BPSK chips; pairs of chips give biphase bits, differential decoding the data.
#ifndef HALVANE_DRIVER_SDR_DSP_RDS_DEMODULATOR_H
#define HALVANE_DRIVER_SDR_DSP_RDS_DEMODULATOR_H

#include <cstdint>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

class RdsDemodulator {
 public:
  RdsDemodulator();

  void Reset();

  // `multiplex` at the multiplex rate; `pilotPhase` the pilot PLL's phase at each of its
  // samples, used while `pilotLocked`. Appends the decoded data bits (0 or 1) to `bits`.
  void Process(std::span<const float> multiplex, std::span<const float> pilotPhase,
               bool pilotLocked, std::vector<uint8_t>& bits);

 private:
  void OnChip(float chip, std::vector<uint8_t>& bits);

  Oscillator freeCarrier_;  // 57 kHz when there is no pilot
  ComplexDecimator decimator_;
  SymbolSync symbolSync_;
  GainControl agc_;
  Oscillator costas_;
  std::vector<Complex> baseband_;  // mixed down, waiting for a whole decimation block
  std::vector<Complex> decimated_;
  std::vector<Complex> chips_;
  float previousChip_ = 0;
  uint64_t chipCount_ = 0;
  float pairEnergy_[2] = {0, 0};  // how well chips pair up when a bit starts on an even/odd chip
  uint8_t previousBit_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
