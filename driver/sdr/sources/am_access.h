// How a dongle reaches a frequency: through its tuner, or, below the tuner's range (the AM
// band), through the device's direct sampling (an RTL-SDR V3's Q branch) or an upconverter ahead
// of it, which moves the band up by its oscillator's frequency (often 125 MHz; built into the V4).
// An upconverter, when configured, is used first, then direct sampling; a device without either
// whose own tuner covers the frequency (an HF receiver) is tuned there.
#ifndef HALVANE_DRIVER_SDR_SOURCES_AM_ACCESS_H
#define HALVANE_DRIVER_SDR_SOURCES_AM_ACCESS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvane::driver::sdr {

struct DeviceTuning {
  int64_t deviceHz;     // where the device is tuned for the frequency (before its LO offset)
  bool directSampling;  // the device samples the antenna directly
};

// Nothing when `frequencyHz` lies below the tuner's range and the device has no way there.
// `tunerReaches`: the device's own tuner covers the frequency.
std::optional<DeviceTuning> DeviceTuningFor(int64_t frequencyHz, int64_t upconverterHz,
                                            bool offersDirectSampling, bool tunerReaches = false);

// Sets the last reason for a device (`what`, as the user would know it) that reaches no AM, and
// returns kSdrNoAm.
int32_t NoAm(std::string_view what);

}  // namespace halvane::driver::sdr

#endif
