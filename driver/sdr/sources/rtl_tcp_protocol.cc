#include "sdr/sources/rtl_tcp_protocol.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace halvane::driver::sdr {
namespace {

constexpr std::array<uint8_t, 4> kMagic = {'R', 'T', 'L', '0'};

uint32_t ReadBigEndian(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

void WriteBigEndian(uint32_t value, uint8_t* p) {
  p[0] = static_cast<uint8_t>(value >> 24);
  p[1] = static_cast<uint8_t>(value >> 16);
  p[2] = static_cast<uint8_t>(value >> 8);
  p[3] = static_cast<uint8_t>(value);
}

// The first bytes as a person can read them: printable ASCII as it is, the rest in hex.
std::string Shown(std::span<const uint8_t> bytes) {
  std::string text;
  for (const uint8_t b : bytes.first(std::min<size_t>(bytes.size(), 4))) {
    if (std::isprint(b) != 0) {
      text += static_cast<char>(b);
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      text += "\\x";
      text += kHex[b >> 4];
      text += kHex[b & 15];
    }
  }
  return text;
}

}  // namespace

std::optional<RtlTcpGreeting> ParseRtlTcpGreeting(std::span<const uint8_t> bytes,
                                                  std::string& why) {
  if (bytes.size() != kRtlTcpGreetingSize) {
    why = "its greeting is " + std::to_string(bytes.size()) + " bytes, not 12";
    return std::nullopt;
  }
  if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
    why = "its greeting begins \"" + Shown(bytes) + R"(", not "RTL0": no rtl_tcp server)";
    return std::nullopt;
  }
  RtlTcpGreeting greeting{ReadBigEndian(bytes.data() + 4), ReadBigEndian(bytes.data() + 8)};
  if (greeting.gainCount > kRtlTcpMaxGainCount) {
    why = "its greeting claims " + std::to_string(greeting.gainCount) +
          " gain steps, more than any tuner has";
    return std::nullopt;
  }
  return greeting;
}

std::array<uint8_t, kRtlTcpGreetingSize> EncodeRtlTcpGreeting(const RtlTcpGreeting& greeting) {
  std::array<uint8_t, kRtlTcpGreetingSize> bytes{};
  std::copy(kMagic.begin(), kMagic.end(), bytes.begin());
  WriteBigEndian(greeting.tunerType, bytes.data() + 4);
  WriteBigEndian(greeting.gainCount, bytes.data() + 8);
  return bytes;
}

std::string RtlTcpTunerName(uint32_t tunerType) {
  static constexpr const char* kNames[] = {"unknown tuner", "E4000", "FC0012", "FC0013",
                                           "FC2580",        "R820T", "R828D"};
  if (tunerType < std::size(kNames)) return kNames[tunerType];
  return "tuner type " + std::to_string(tunerType);
}

RtlTcpCommandBytes EncodeRtlTcpCommand(RtlTcpCommand command, uint32_t value) {
  RtlTcpCommandBytes bytes{};
  bytes[0] = static_cast<uint8_t>(command);
  WriteBigEndian(value, bytes.data() + 1);
  return bytes;
}

}  // namespace halvane::driver::sdr
