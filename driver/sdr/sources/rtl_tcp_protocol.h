// The rtl_tcp wire protocol, as the server that shares an RTL-SDR dongle over TCP speaks it.
// The server opens with a 12-byte greeting ("RTL0", the tuner type and the number of gains the
// tuner knows, both 32-bit big-endian), then sends cu8 samples for as long as the connection
// lasts. The client sends 5-byte commands: one byte naming the setting, its value as a 32-bit
// big-endian number.
#ifndef HALVANE_DRIVER_SDR_SOURCES_RTL_TCP_PROTOCOL_H
#define HALVANE_DRIVER_SDR_SOURCES_RTL_TCP_PROTOCOL_H

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace halvane::driver::sdr {

inline constexpr size_t kRtlTcpGreetingSize = 12;
inline constexpr size_t kRtlTcpCommandSize = 5;
// No tuner has more gain steps than this; a greeting claiming more is not from a dongle.
inline constexpr uint32_t kRtlTcpMaxGainCount = 256;

enum class RtlTcpCommand : uint8_t {
  Frequency = 0x01,       // centre frequency in hertz
  SampleRate = 0x02,      // samples a second
  GainMode = 0x03,        // 0: the tuner's automatic gain, 1: the gain set below
  Gain = 0x04,            // in tenths of a dB
  Correction = 0x05,      // frequency correction in ppm (signed)
  Agc = 0x08,             // the RTL2832's digital AGC: 1 on, 0 off
  DirectSampling = 0x09,  // 0 the tuner, 2 the antenna sampled on the Q branch (the AM band)
};

struct RtlTcpGreeting {
  uint32_t tunerType = 0;
  uint32_t gainCount = 0;
};

using RtlTcpCommandBytes = std::array<uint8_t, kRtlTcpCommandSize>;

// The greeting in `bytes` (exactly 12 of them), or nothing with `why` saying what is wrong.
std::optional<RtlTcpGreeting> ParseRtlTcpGreeting(std::span<const uint8_t> bytes, std::string& why);

std::array<uint8_t, kRtlTcpGreetingSize> EncodeRtlTcpGreeting(const RtlTcpGreeting& greeting);

// "R820T", "E4000", ..., or "tuner type N" for a number this driver does not know.
std::string RtlTcpTunerName(uint32_t tunerType);

RtlTcpCommandBytes EncodeRtlTcpCommand(RtlTcpCommand command, uint32_t value);

}  // namespace halvane::driver::sdr

#endif
