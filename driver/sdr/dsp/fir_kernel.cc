#include "sdr/dsp/fir_kernel.h"

namespace halvane::driver::sdr {

std::vector<float> PairedTaps(std::span<const float> taps) {
  std::vector<float> paired(2 * PaddedTapCount(taps.size()), 0.0f);
  for (size_t k = 0; k < taps.size(); ++k) paired[2 * k] = paired[2 * k + 1] = taps[k];
  return paired;
}

}  // namespace halvane::driver::sdr
