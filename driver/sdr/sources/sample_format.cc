#include "sdr/sources/sample_format.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace halvane::driver::sdr {

size_t BytesPerSample(SampleFormat format) {
  switch (format) {
    case SampleFormat::Cu8:
      return 2;
    case SampleFormat::Cs16:
      return 4;
    case SampleFormat::Cf32:
      return 8;
  }
  return 8;
}

const char* FormatName(SampleFormat format) {
  switch (format) {
    case SampleFormat::Cu8:
      return "cu8";
    case SampleFormat::Cs16:
      return "cs16";
    case SampleFormat::Cf32:
      return "cf32";
  }
  return "?";
}

size_t DecodeSamples(SampleFormat format, std::span<const uint8_t> bytes,
                     std::vector<Complex>& out) {
  const size_t frame = BytesPerSample(format);
  const size_t count = bytes.size() / frame;
  // Grown geometrically: a call per chunk must not copy everything decoded before it.
  if (out.capacity() < out.size() + count)
    out.reserve(std::max(out.size() + count, out.capacity() * 2));
  size_t replaced = 0;
  // A value no receiver stage can take (NaN, an infinity, or so large that its square
  // overflows) would stay in every filter it reaches: it is held at zero, or at the limit.
  const auto scrub = [&replaced](float v) {
    if (std::isnan(v)) {
      ++replaced;
      return 0.0f;
    }
    if (std::fabs(v) > kLargestSampleValue) {
      ++replaced;
      return std::copysign(kLargestSampleValue, v);
    }
    return v;
  };
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = bytes.data() + i * frame;
    switch (format) {
      case SampleFormat::Cu8:
        out.emplace_back((static_cast<float>(p[0]) - 127.5f) / 127.5f,
                         (static_cast<float>(p[1]) - 127.5f) / 127.5f);
        break;
      case SampleFormat::Cs16: {
        const auto i16 = static_cast<int16_t>(p[0] | (p[1] << 8));
        const auto q16 = static_cast<int16_t>(p[2] | (p[3] << 8));
        out.emplace_back(static_cast<float>(i16) / 32768.0f, static_cast<float>(q16) / 32768.0f);
        break;
      }
      case SampleFormat::Cf32: {
        float iq[2];
        std::memcpy(iq, p, sizeof iq);
        out.emplace_back(scrub(iq[0]), scrub(iq[1]));
        break;
      }
    }
  }
  return replaced;
}

std::vector<uint8_t> EncodeSamples(SampleFormat format, std::span<const Complex> samples) {
  std::vector<uint8_t> bytes;
  bytes.reserve(samples.size() * BytesPerSample(format));
  const auto u8 = [](float v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v * 127.5f + 127.5f, 0.0f, 255.0f)));
  };
  const auto s16 = [](float v) {
    return static_cast<int16_t>(std::lround(std::clamp(v * 32768.0f, -32768.0f, 32767.0f)));
  };
  for (const Complex& s : samples) {
    switch (format) {
      case SampleFormat::Cu8:
        bytes.push_back(u8(s.real()));
        bytes.push_back(u8(s.imag()));
        break;
      case SampleFormat::Cs16:
        for (const int16_t v : {s16(s.real()), s16(s.imag())}) {
          bytes.push_back(static_cast<uint8_t>(v & 0xFF));
          bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
        }
        break;
      case SampleFormat::Cf32: {
        const float iq[2] = {s.real(), s.imag()};
        uint8_t raw[sizeof iq];
        std::memcpy(raw, iq, sizeof iq);
        bytes.insert(bytes.end(), std::begin(raw), std::end(raw));
        break;
      }
    }
  }
  return bytes;
}

}  // namespace halvane::driver::sdr
