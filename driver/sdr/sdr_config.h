// The SDR receiver's settings in tuner.ini (backend = sdr).
#ifndef HALVANE_DRIVER_SDR_SDR_CONFIG_H
#define HALVANE_DRIVER_SDR_SDR_CONFIG_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvane::driver::sdr {

enum class SampleFormat { kCu8, kCs16, kCf32 };

struct SdrConfig {
  // "synthetic", "file:PATH", or a SoapySDR device argument string ("driver=rtlsdr").
  std::string device = "synthetic";
  std::optional<double> gain_db;  // device gain; none: the device's automatic gain
  double ppm = 0;                 // device frequency correction
  SampleFormat format = SampleFormat::kCu8;
  int32_t rate = 1'024'000;          // samples a second
  std::optional<int64_t> center_hz;  // a recording's centre frequency
  double deemphasis_us = 50;         // 50 (Europe) or 75 (Americas)
  // The synthetic band: the programme tone, and the channel's impairments.
  double tone_hz = 1000;
  bool tone_left = true;
  bool tone_right = true;
  double carrier_offset_hz = 0;
  double clock_ppm = 0;
  std::optional<double> cnr_db;  // every station at this carrier-to-noise; none: from its level

  bool is_file() const { return device.starts_with("file:"); }
  std::string file_path() const { return device.substr(5); }
  bool is_synthetic() const { return device == "synthetic"; }
};

enum class KeyResult { kUnknown, kOk, kBad };

// Reads one "key = value" of the SDR receiver into `config`; on kBad `error` says why.
KeyResult ParseSdrKey(std::string_view key, const std::string& value, SdrConfig& config,
                      std::string& error);

// What the keys together must satisfy (a recording needs its centre); empty when all is well.
std::string CheckSdrConfig(const SdrConfig& config);

}  // namespace halvane::driver::sdr

#endif
