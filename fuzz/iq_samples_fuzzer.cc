// IQ samples as a recording or a device hands them over. The first byte chooses the format, the
// rest are the samples. Whatever the bytes: each whole frame decodes to one sample, every value
// is finite and within the largest a sample keeps, and the receiver fed them (the block twice,
// so its filters carry what the first pass left) gives finite sound.
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "properties.h"
#include "sdr/broadcast.h"
#include "sdr/dsp/receiver.h"
#include "sdr/sources/sample_format.h"

namespace {

namespace sdr = halvane::driver::sdr;
using fuzzing::Fail;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto format = static_cast<sdr::SampleFormat>(data[0] % 3);
  const std::span<const uint8_t> bytes(data + 1, size - 1);
  std::vector<sdr::Complex> samples;
  sdr::DecodeSamples(format, bytes, samples);
  if (samples.size() != bytes.size() / sdr::BytesPerSample(format))
    Fail("not one sample per whole frame");
  for (const sdr::Complex& s : samples) {
    for (const float v : {s.real(), s.imag()}) {
      if (!std::isfinite(v) || std::fabs(v) > sdr::kLargestSampleValue)
        Fail("a decoded value out of range: " + std::to_string(v));
    }
  }
  sdr::Receiver receiver({static_cast<double>(sdr::kMinimumSampleRate), 50});
  receiver.Tune(0);
  std::vector<float> audio;
  for (int64_t ms = 10; ms <= 20; ms += 10) receiver.Process(samples, ms, true, audio);
  for (const float a : audio) {
    if (!std::isfinite(a)) Fail("sound that is no number");
  }
  return 0;
}
