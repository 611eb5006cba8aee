// A V4L2 tuner counts frequencies in its own units: 62.5 kHz, or 62.5 Hz for a tuner (or band)
// with the low-frequency capability, or 1 Hz with the 1 Hz capability.
#ifndef HALVANE_DRIVER_V4L2_FREQUENCY_UNITS_H
#define HALVANE_DRIVER_V4L2_FREQUENCY_UNITS_H

#include <cstdint>
#include <optional>

namespace halvane::driver::v4l2 {

enum class TunerUnit { SixteenthMhz, SixteenthKhz, Hertz };

// The unit a tuner's or band's capability flags select.
TunerUnit UnitOf(uint32_t capability);

// Nearest whole unit; nothing outside what 32 bits hold.
std::optional<uint32_t> HertzToUnits(int64_t hertz, TunerUnit unit);
// Exact for 62.5 kHz and 1 Hz; an odd count of 62.5 Hz units loses its half hertz.
int64_t UnitsToHertz(uint32_t units, TunerUnit unit);

}  // namespace halvane::driver::v4l2

#endif
