// Bringing the tuner up and down, muting, activation, and the two ways trouble becomes visible:
// the debug log through the host, and the host's error screen.
#include "context/module_context.h"
#include "halvane/errors.h"
#include "tuner/mod_radio.h"

namespace halvane {

int32_t ModRadio::Call(const char* function, std::initializer_list<DriverArg> args) {
  return CallDriver(driverPath_, function, std::span<const DriverArg>(args.begin(), args.size()),
                    c_.Numbers());
}

void ModRadio::RadioLog(const std::string& message) {
  if (debugEnabled_) host::DMLOG(c_.Sdk(), kLogPrefix + message);
}

void ModRadio::RadioNotice(const std::string& line) { host::DMLOG(c_.Sdk(), line); }

bool ModRadio::CheckRadio() {
  if (radioReady_) return true;
  host::Errscrn(c_.Sdk(), "Radio", "Device Error",
                "Sorry, The Radio failed to initialize. Check settings.\r\n"
                "Check Connections. (Restart Required)",
                true);
  return false;
}

// Every step skips on failure and the next one runs: a missing host, driver or file never stops
// the start half-way with an error, it only leaves the radio stopped or with defaults.
void ModRadio::RadioStart(RadioStations& stations) {
  debugEnabled_ = false;
  IgnoreErrors(
      [&] { debugEnabled_ = host::GetInfo(c_.Sdk(), hostvar::kRadioDebug).ToBool(&c_.Numbers()); });
  IgnoreErrors([&] { RadioLog("StartRadio"); });
  IgnoreErrors([&] {
    driverPath_ =
        host::GetInfo(c_.Sdk(), hostvar::kDMPath).ToString(&c_.Numbers()) + kDriverRelativePath;
  });
  if (radioReady_) return;

  int32_t result = kDriverCallFailed;
  IgnoreErrors([&] { result = Call(HALVANE_FN_INITIALIZE, {}); });
  if (result != 0) {
    IgnoreErrors([&] { RadioLog("Initialize failed return code:" + std::to_string(result)); });
    return;
  }
  radioReady_ = true;

  int32_t lcid = c_.Lcid();
  IgnoreErrors([&] { RadioLog("LCID=" + std::to_string(lcid)); });
  IgnoreErrors(
      [&] { useRbds_ = host::GetInfo(c_.Sdk(), hostvar::kUserbds).ToBool(&c_.Numbers()); });
  if (lcid == 1033 || useRbds_) useRbds_ = true;
  IgnoreErrors([&] { stations.LoadNames(useRbds_); });
  int32_t startFreq = 0;
  IgnoreErrors([&] { startFreq = stations.LoadPresets(); });
  if (startFreq == 0) startFreq = band::kFmLow;
  IgnoreErrors([&] { SetMute(true); });
  IgnoreErrors([&] { TuneTo(startFreq); });
  active_ = false;
}

void ModRadio::RadioStop(RadioStations& stations) {
  active_ = false;
  if (radioReady_) {
    stations.SavePresets();
    Call(HALVANE_FN_UNINITIALIZE, {});
  }
  radioReady_ = false;
}

void ModRadio::RadioSetActive(bool state, RadioStations& stations) {
  if (!radioReady_) return;
  active_ = state;
  SetMute(!state);
  if (active_)
    TuneTo(currentFreq_);  // also restarts RDS decoding
  else
    stations.SavePresets();
}

void ModRadio::SetMute(bool state) {
  if (!radioReady_) return;
  muted_ = state;
  Call(HALVANE_FN_VOLUME_MUTE, {DriverArg::Number(0), DriverArg::Number(muted_ ? 1 : 0)});
}

void ModRadio::ToggleMute() {
  if (!radioReady_) return;
  SetMute(!muted_);
}

}  // namespace halvane
