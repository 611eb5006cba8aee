#include "backend_config.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "band/band_loader.h"
#include "band/file_reading.h"
#include "band/ini_values.h"
#include "result_codes.h"

namespace halvane::driver {
namespace {

using Result = band::ParseResult<BackendConfig>;

constexpr int kMaxSettleMs = 1000;

}  // namespace

Result ParseBackendConfig(std::string_view text) {
  BackendConfig config;
  // A synthetic band read from tuner.ini plays its stations' programmes unless it names a tone.
  config.sdr.programmes = true;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::string_view line = band::Trim(band::NextLine(text));
    ++lineNumber;
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      return Result::Fail("expected \"key = value\"", lineNumber);
    const std::string_view key = band::Trim(line.substr(0, equals));
    const std::string value = band::Unquote(line.substr(equals + 1));
    if (key == "backend") {
      if (value == "simulated") {
        config.kind = BackendConfig::Kind::Simulated;
      } else if (value == "v4l2") {
        config.kind = BackendConfig::Kind::V4l2;
      } else if (value == "sdr") {
        config.kind = BackendConfig::Kind::Sdr;
      } else {
        return Result::Fail("backend must be simulated, v4l2 or sdr", lineNumber);
      }
    } else if (key == "device") {
      if (value.empty()) return Result::Fail("device needs a path", lineNumber);
      config.device = value;
      config.sdr.device = value;
    } else if (key == "seek_threshold") {
      const std::optional<int64_t> level = band::ReadInteger(value);
      if (!level || *level < 0 || *level > 14) {
        return Result::Fail("seek_threshold must be 0 to 14", lineNumber);
      }
      config.seekThreshold = static_cast<int>(*level);
    } else if (key == "settle_ms") {
      const std::optional<int64_t> ms = band::ReadInteger(value);
      if (!ms || *ms < 0 || *ms > kMaxSettleMs) {
        return Result::Fail("settle_ms must be 0 to 1000", lineNumber);
      }
      config.settleMs = static_cast<int>(*ms);
    } else if (key == "af") {
      if (value != "on" && value != "off") return Result::Fail("af must be on or off", lineNumber);
      config.followAlternatives = value == "on";
    } else if (key == "traffic") {
      if (value != "on" && value != "off") {
        return Result::Fail("traffic must be on or off", lineNumber);
      }
      config.traffic = value == "on";
    } else if (key == "audio") {
      config.audio = value == "none" ? std::string() : value;
    } else if (std::string error;
               sdr::ParseSdrKey(key, value, config.sdr, error) != sdr::KeyResult::Unknown) {
      if (!error.empty()) return Result::Fail(error, lineNumber);
    } else {
      return Result::Fail("unknown key \"" + std::string(key) + "\"", lineNumber);
    }
  }
  if (config.kind == BackendConfig::Kind::Sdr) {
    if (std::string error = sdr::CheckSdrConfig(config.sdr); !error.empty()) {
      return Result::Fail(error, lineNumber);
    }
  }
  return Result::Ok(std::move(config));
}

BackendConfigLoad LoadBackendConfig() {
  std::string path;
  const char* named = std::getenv(kTunerConfigVariable);
  if (named != nullptr && named[0] != '\0') {
    path = named;
  } else {
    const std::string folder = band::LibraryFolder();
    if (folder.empty()) return {};
    path = folder + kTunerConfigFileName;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) return {};  // the simulated band
  }
  std::string why;
  const std::optional<std::string> text = band::ReadNamedFile(path, band::kConfigFileLimit, why);
  if (!text) return {{}, kConfigUnreadable, path + ": " + why};
  const Result parsed = ParseBackendConfig(*text);
  if (!parsed.ok()) {
    return {{}, kConfigInvalid, path + ":" + std::to_string(parsed.line) + ": " + parsed.error};
  }
  return {*parsed.value, 0, {}};
}

}  // namespace halvane::driver
