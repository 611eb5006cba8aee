// IQ samples as recordings hold them: cu8 (what rtl_sdr writes: unsigned bytes around 127.5),
// cs16 (signed 16-bit little-endian), cf32 (32-bit floats), I before Q.
#ifndef HALVANE_DRIVER_SDR_SOURCES_SAMPLE_FORMAT_H
#define HALVANE_DRIVER_SDR_SOURCES_SAMPLE_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"
#include "sdr/sdr_config.h"

namespace halvane::driver::sdr {

size_t BytesPerSample(SampleFormat format);
const char* FormatName(SampleFormat format);

// The largest magnitude a float sample keeps; recordings hold values around 1.
inline constexpr float kLargestSampleValue = 1e3f;

// Appends the samples of whole frames in `bytes`. A float that is not a number becomes 0 and
// one beyond kLargestSampleValue (an infinity too) becomes that limit; returns how many values
// were replaced.
size_t DecodeSamples(SampleFormat format, std::span<const uint8_t> bytes,
                     std::vector<Complex>& out);

// The bytes of `samples` (clipped to the format's range).
std::vector<uint8_t> EncodeSamples(SampleFormat format, std::span<const Complex> samples);

}  // namespace halvane::driver::sdr

#endif
