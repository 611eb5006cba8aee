#include "sdr/sdr_config.h"

#include <cmath>
#include <cstdlib>

#include "band/ini_values.h"

namespace halvane::driver::sdr {
namespace {

std::optional<double> ReadNumber(std::string_view text) {
  const std::string copy(text);
  if (copy.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end == copy.c_str() || !std::isfinite(value)) return std::nullopt;
  if (!band::Trim(std::string_view(end)).empty()) return std::nullopt;
  return value;
}

// "99.5 MHz", "99500 kHz", "99500000" (hertz): the frequency in hertz.
std::optional<int64_t> ReadHertz(std::string_view text) {
  text = band::Trim(text);
  double scale = 1;
  const auto endsWith = [&](std::string_view unit) {
    if (text.size() < unit.size()) return false;
    for (size_t i = 0; i < unit.size(); ++i) {
      const char c = text[text.size() - unit.size() + i];
      if (std::tolower(static_cast<unsigned char>(c)) != unit[i]) return false;
    }
    text.remove_suffix(unit.size());
    return true;
  };
  if (endsWith("mhz")) {
    scale = 1e6;
  } else if (endsWith("khz")) {
    scale = 1e3;
  } else {
    endsWith("hz");
  }
  const std::optional<double> value = ReadNumber(band::Trim(text));
  if (!value || *value <= 0 || *value * scale > 1e10) return std::nullopt;
  return std::llround(*value * scale);
}

}  // namespace

std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text, std::string& why) {
  NetworkAddress address;
  std::string_view port;
  if (text.find("://") != std::string_view::npos) {
    why = "a scheme (\"tcp://\") is not accepted: HOST:PORT, as 192.168.1.20:1234";
    return std::nullopt;
  }
  if (text.starts_with("[")) {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) {
      why = "an IPv6 address needs its closing bracket";
      return std::nullopt;
    }
    address.host = std::string(text.substr(1, close - 1));
    std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (!rest.starts_with(":")) {
        why = "after the IPv6 address comes \":PORT\"";
        return std::nullopt;
      }
      port = rest.substr(1);
    }
  } else if (const size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    if (text.find(':') != colon) {
      why = "an IPv6 address goes in brackets: [::1]:1234";
      return std::nullopt;
    }
    address.host = std::string(text.substr(0, colon));
    port = text.substr(colon + 1);
    if (port.empty()) {
      why = "the port after \":\" is missing";
      return std::nullopt;
    }
  } else {
    address.host = std::string(text);
  }
  if (address.host.empty()) {
    why = "the server's host is missing";
    return std::nullopt;
  }
  if (address.host.size() > kLongestHostName) {
    why = "the server's host is longer than a host name can be (" +
          std::to_string(kLongestHostName) + " characters)";
    return std::nullopt;
  }
  address.port = kRtlTcpDefaultPort;
  if (!port.empty()) {
    const std::optional<int64_t> number = band::ReadInteger(port);
    if (!number || *number < 1 || *number > 65535) {
      why = "the port must be 1 to 65535";
      return std::nullopt;
    }
    address.port = static_cast<uint16_t>(*number);
  }
  return address;
}

KeyResult ParseSdrKey(std::string_view key, const std::string& value, SdrConfig& config,
                      std::string& error) {
  const auto bad = [&](std::string why) {
    error = std::move(why);
    return KeyResult::Bad;
  };
  if (key == "gain") {
    if (value == "auto") {
      config.gainDb.reset();
    } else {
      const std::optional<double> gain = ReadNumber(value);
      if (!gain || *gain < 0 || *gain > 100) return bad("gain must be auto or 0 to 100 (dB)");
      config.gainDb = *gain;
    }
  } else if (key == "ppm") {
    const std::optional<double> ppm = ReadNumber(value);
    if (!ppm || std::fabs(*ppm) > 1000) return bad("ppm must be -1000 to 1000");
    config.ppm = *ppm;
  } else if (key == "format") {
    if (value == "cu8") {
      config.format = SampleFormat::Cu8;
    } else if (value == "cs16") {
      config.format = SampleFormat::Cs16;
    } else if (value == "cf32") {
      config.format = SampleFormat::Cf32;
    } else {
      return bad("format must be cu8, cs16 or cf32");
    }
  } else if (key == "rate") {
    const std::optional<int64_t> rate = band::ReadInteger(value);
    if (!rate || *rate <= 0 || *rate > 100'000'000) return bad("rate must be samples a second");
    config.rate = static_cast<int32_t>(*rate);
  } else if (key == "center") {
    const std::optional<int64_t> center = ReadHertz(value);
    if (!center) return bad("center must be a frequency (\"99.5 MHz\")");
    config.centerHz = *center;
  } else if (key == "deemphasis") {
    const std::optional<int64_t> us = band::ReadInteger(value);
    if (!us || (*us != 50 && *us != 75)) return bad("deemphasis must be 50 or 75 (microseconds)");
    config.deemphasisUs = static_cast<double>(*us);
  } else if (key == "am_step") {
    const std::optional<int64_t> khz = band::ReadInteger(value);
    if (!khz || (*khz != 9 && *khz != 10)) return bad("am_step must be 9 or 10 (kHz)");
    config.amStepKhz = static_cast<int>(*khz);
  } else if (key == "upconverter") {
    const std::optional<int64_t> hz = band::Trim(value) == "0" ? 0 : ReadHertz(value);
    if (!hz || *hz > 2'000'000'000)
      return bad("upconverter must be 0 or a frequency (\"125 MHz\")");
    config.upconverterHz = *hz;
  } else if (key == "blend" || key == "high_cut" || key == "soft_mute" || key == "equaliser") {
    if (value != "on" && value != "off") return bad(std::string(key) + " must be on or off");
    const bool on = value == "on";
    if (key == "blend") config.blend = on;
    if (key == "high_cut") config.highCut = on;
    if (key == "soft_mute") config.softMute = on;
    if (key == "equaliser") config.equaliser = on;
  } else if (key == "tone") {
    const std::optional<double> hz = ReadNumber(value);
    if (!hz || *hz < 20 || *hz > 15000) return bad("tone must be 20 to 15000 (Hz)");
    config.toneHz = *hz;
    config.programmes = false;
  } else if (key == "tone_channel") {
    if (value != "both" && value != "left" && value != "right") {
      return bad("tone_channel must be both, left or right");
    }
    config.toneLeft = value != "right";
    config.toneRight = value != "left";
    config.programmes = false;
  } else if (key == "carrier_offset") {
    const std::optional<double> hz = ReadNumber(value);
    if (!hz || std::fabs(*hz) > 50'000) return bad("carrier_offset must be -50000 to 50000 (Hz)");
    config.carrierOffsetHz = *hz;
  } else if (key == "clock_ppm") {
    const std::optional<double> ppm = ReadNumber(value);
    if (!ppm || std::fabs(*ppm) > 1000) return bad("clock_ppm must be -1000 to 1000");
    config.clockPpm = *ppm;
  } else if (key == "cnr") {
    const std::optional<double> db = ReadNumber(value);
    if (!db || *db < -10 || *db > 100) return bad("cnr must be -10 to 100 (dB)");
    config.cnrDb = *db;
  } else {
    return KeyResult::Unknown;
  }
  return KeyResult::Ok;
}

std::string CheckSdrConfig(const SdrConfig& config) {
  if (config.IsFile() && config.FilePath().empty()) return "device = file: needs a path";
  if (config.IsFile() && !config.centerHz) {
    return "a recording needs center = the frequency it was recorded at";
  }
  if (config.IsRtlTcp()) {
    std::string why;
    if (!ParseNetworkAddress(config.RtlTcpServer(), why)) {
      return "device = rtl_tcp=HOST:PORT: " + why;
    }
  }
  return {};
}

}  // namespace halvane::driver::sdr
