// A counter-based pseudo-random source: the same inputs always give the same number, so the
// errors of group n of a station do not depend on which groups were simulated before it.
#ifndef HALVANE_DRIVER_SIM_PRNG_H
#define HALVANE_DRIVER_SIM_PRNG_H

#include <cstdint>

namespace halvane::driver::sim {

// SplitMix64's finaliser: a well-mixed 64-bit value of its input.
constexpr uint64_t Mix64(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

constexpr uint64_t RandomFor(uint64_t seed, uint64_t a, uint64_t b) {
  return Mix64(Mix64(Mix64(seed) ^ a) ^ b);
}

}  // namespace halvane::driver::sim

#endif
