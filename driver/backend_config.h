// Which tuner the driver drives: the simulated band (the default) or a V4L2 radio device. Read
// from tuner.ini beside the driver library, or from the file named by HALVANE_TUNER_CONFIG.
#ifndef HALVANE_DRIVER_BACKEND_CONFIG_H
#define HALVANE_DRIVER_BACKEND_CONFIG_H

#include <cstdint>
#include <string>
#include <string_view>

#include "band/parse_result.h"
#include "sdr/sdr_config.h"

namespace halvane::driver {

inline constexpr const char* kTunerConfigVariable = "HALVANE_TUNER_CONFIG";
inline constexpr const char* kTunerConfigFileName = "tuner.ini";

struct BackendConfig {
  enum class Kind { Simulated, V4l2, Sdr };
  Kind kind = Kind::Simulated;
  std::string device = "/dev/radio0";
  int seekThreshold = 10;  // weakest level (0 best .. 14) a software seek stops on
  int settleMs = 20;       // software seek: wait after tuning a channel before reading its signal
  bool followAlternatives = true;  // af: follow the programme over its alternative frequencies
  bool traffic = false;            // traffic: go to linked programmes' traffic announcements
  // V4L2: the ALSA capture device that carries the tuner's sound, "auto" for the radio device's
  // own sound card; empty (or "none"): the driver plays no sound of the tuner's.
  std::string audio;
  sdr::SdrConfig sdr;  // backend = sdr: its source and receiver (device goes there too)
};

band::ParseResult<BackendConfig> ParseBackendConfig(std::string_view text);

struct BackendConfigLoad {
  BackendConfig config;
  int32_t errorCode = 0;  // non-zero: the file exists but cannot be used
  std::string message;
};

// The configuration in force: the named file, else tuner.ini beside the library, else defaults.
BackendConfigLoad LoadBackendConfig();

}  // namespace halvane::driver

#endif
