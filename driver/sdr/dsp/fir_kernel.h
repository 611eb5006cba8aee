// The inner loop of every complex filter in the channel's path: complex samples against real taps
// that are stored twice each (h0 h0 h1 h1 ...), so that four floats of samples (two complex
// values) meet four floats of taps in one vector operation on any processor the compiler knows.
#ifndef HALVANE_DRIVER_SDR_DSP_FIR_KERNEL_H
#define HALVANE_DRIVER_SDR_DSP_FIR_KERNEL_H

#include <cstddef>
#include <cstring>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

// Taps are padded with zeros to a multiple of this many.
inline constexpr size_t kTapGroup = 4;

// Real taps laid out for DotComplexReal: padded to kTapGroup, each tap twice.
std::vector<float> PairedTaps(std::span<const float> taps);

inline size_t PaddedTapCount(size_t taps) { return (taps + kTapGroup - 1) / kTapGroup * kTapGroup; }

// sum over k < paddedTaps of x[k] * h[k], where `paired` holds h as PairedTaps lays it out and x
// has at least paddedTaps readable values.
inline Complex DotComplexReal(const Complex* x, const float* paired, size_t paddedTaps) {
  using Float4 = float __attribute__((vector_size(16)));
  Float4 a = {0, 0, 0, 0};
  Float4 b = {0, 0, 0, 0};
  const auto* samples = reinterpret_cast<const float*>(x);
  for (size_t k = 0; k < 2 * paddedTaps; k += 2 * kTapGroup) {
    Float4 x0;
    Float4 x1;
    Float4 h0;
    Float4 h1;
    std::memcpy(&x0, samples + k, sizeof x0);
    std::memcpy(&x1, samples + k + 4, sizeof x1);
    std::memcpy(&h0, paired + k, sizeof h0);
    std::memcpy(&h1, paired + k + 4, sizeof h1);
    a += x0 * h0;
    b += x1 * h1;
  }
  a += b;
  return {a[0] + a[2], a[1] + a[3]};
}

}  // namespace halvane::driver::sdr

#endif
