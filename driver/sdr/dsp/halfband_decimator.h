// Halves the sample rate of a complex signal with a half-band filter: every other tap of such a
// filter is zero, so the even input samples meet the odd taps and the odd samples only the centre
// tap. Used in a cascade ahead of the channel filter, each stage keeping the band the next one
// passes free of anything that would fold into it.
#ifndef HALVANE_DRIVER_SDR_DSP_HALFBAND_DECIMATOR_H
#define HALVANE_DRIVER_SDR_DSP_HALFBAND_DECIMATOR_H

#include <cstdint>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

class HalfbandDecimator {
 public:
  // At `inputRate`, passes up to `keepHz` either side and stops from `inputRate` / 2 - `keepHz`
  // (what would fold into the kept band) by `stopbandDb`.
  HalfbandDecimator(double inputRate, double keepHz, double stopbandDb);

  void Reset();

  // Appends one output for every two inputs (an odd input waits for its partner).
  void Process(std::span<const Complex> in, std::vector<Complex>& out);

  size_t TapCount() const { return 2 * branchTaps_ - 1; }

 private:
  size_t branchTaps_;          // non-zero taps beside the centre (2K for a filter of 4K - 1)
  std::vector<float> paired_;  // those taps, as DotComplexReal takes them
  float centre_;
  std::vector<Complex> even_;  // history, then the new even samples
  std::vector<Complex> odd_;
  Complex pending_;
  bool hasPending_ = false;
};

// A cascade of halvings from `inputRate`: it goes on while the rate is even and the next one is
// at least `floorHz`. The rate it reaches, and its stages, each keeping up to `keepHz` clean.
int64_t RateAfterHalving(double inputRate, double floorHz);
std::vector<HalfbandDecimator> HalvingCascade(double inputRate, double floorHz, double keepHz,
                                              double stopbandDb);

}  // namespace halvane::driver::sdr

#endif
