// The SDR receiver's settings in tuner.ini (backend = sdr).
#ifndef HALVANE_DRIVER_SDR_SDR_CONFIG_H
#define HALVANE_DRIVER_SDR_SDR_CONFIG_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "halvane/region.h"

namespace halvane::driver::sdr {

enum class SampleFormat { Cu8, Cs16, Cf32 };

struct SdrConfig {
  // "synthetic", "file:PATH", "rtl_tcp=HOST:PORT", or a SoapySDR device argument string
  // ("driver=rtlsdr").
  std::string device = "synthetic";
  std::optional<double> gainDb;  // device gain; none: the device's automatic gain
  double ppm = 0;                // device frequency correction
  SampleFormat format = SampleFormat::Cu8;
  int32_t rate = 1'024'000;         // samples a second
  std::optional<int64_t> centerHz;  // a recording's centre frequency
  double deemphasisUs = 50;         // 50 (Europe) or 75 (Americas)
  // AM channel raster in kHz: 10 in the Americas, 9 elsewhere, by the locale's territory.
  int amStepKhz = LocaleInTheAmericas(RegionLocaleName()) ? 10 : 9;
  int64_t upconverterHz = 0;  // an upconverter ahead of the device: AM arrives this much higher
  // The reception stages ("on" or "off"): stereo blend, high cut, soft mute, equaliser.
  bool blend = true;
  bool highCut = true;
  bool softMute = true;
  bool equaliser = true;
  // The synthetic band: each station's own programme (music, speech), or the tone every station
  // sends for measuring, and the channel's impairments.
  bool programmes = false;
  double toneHz = 1000;
  bool toneLeft = true;
  bool toneRight = true;
  double carrierOffsetHz = 0;
  double clockPpm = 0;
  std::optional<double> cnrDb;  // every station at this carrier-to-noise; none: from its level

  bool IsFile() const { return device.starts_with("file:"); }
  std::string FilePath() const { return device.substr(5); }
  bool IsSynthetic() const { return device == "synthetic"; }
  bool IsRtlTcp() const { return device.starts_with("rtl_tcp="); }
  std::string_view RtlTcpServer() const { return std::string_view(device).substr(8); }
};

// Where an rtl_tcp server listens.
struct NetworkAddress {
  std::string host;
  uint16_t port = 0;
};

// rtl_tcp's own port, when the device names none.
inline constexpr uint16_t kRtlTcpDefaultPort = 1234;
// The longest host name the name system has (and so the longest quoted in a reason).
inline constexpr size_t kLongestHostName = 253;

// "HOST:PORT", "HOST" (port 1234), "[IPv6]:PORT" after "rtl_tcp="; nothing, with `why` set, when
// the text names no address.
std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text, std::string& why);

enum class KeyResult { Unknown, Ok, Bad };

// Reads one "key = value" of the SDR receiver into `config`; on Bad `error` says why.
KeyResult ParseSdrKey(std::string_view key, const std::string& value, SdrConfig& config,
                      std::string& error);

// What the keys together must satisfy (a recording needs its centre); empty when all is well.
std::string CheckSdrConfig(const SdrConfig& config);

}  // namespace halvane::driver::sdr

#endif
