// Bringing the tuner up and down, muting, activation, and the two ways trouble becomes visible:
// the debug log through the host, and the host's error screen.
#include <functional>

#include "context/module_context.h"
#include "halvane/errors.h"
#include "runtime/locale.h"
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

namespace {

// One step of the start, named for the reader: the debug log holds the start's own lines and no
// more, so a skipped step is not written there.
struct StartStep {
  const char* name;
  std::function<void()> run;
};

}  // namespace

// The start is a list of steps run in order. A step that fails is skipped and the next one runs: a
// missing host, driver or file never stops the start half-way with an error, it only leaves the
// radio stopped or with defaults. Only a radio that is already up, or a driver that did not start,
// ends it early.
void ModRadio::RadioStart(RadioStations& stations) {
  debugEnabled_ = false;
  bool ended = false;
  int32_t result = kDriverCallFailed;
  int32_t lcid = 0;
  int32_t startFreq = 0;
  const StartStep steps[] = {
      {"read the debug switch",
       [&] {
         debugEnabled_ = host::GetInfo(c_.Sdk(), hostvar::kRadioDebug).ToBool(&c_.Numbers());
       }},
      {"log the start", [&] { RadioLog("StartRadio"); }},
      {"find the driver",
       [&] {
         driverPath_ = host::GetInfo(c_.Sdk(), hostvar::kDMPath).ToString(&c_.Numbers()) +
                       kDriverRelativePath;
       }},
      {"leave a started radio as it is", [&] { ended = radioReady_; }},
      {"start the driver", [&] { result = Call(HALVANE_FN_INITIALIZE, {}); }},
      {"log a driver that did not start",
       [&] {
         if (result != 0) RadioLog("Initialize failed return code:" + std::to_string(result));
       }},
      {"end unless the driver started",
       [&] {
         radioReady_ = result == 0;
         ended = !radioReady_;
       }},
      {"log the language",
       [&] {
         lcid = c_.Lcid();
         RadioLog("LCID=" + std::to_string(lcid));
       }},
      {"read the RBDS switch",
       [&] { useRbds_ = host::GetInfo(c_.Sdk(), hostvar::kUserbds).ToBool(&c_.Numbers()); }},
      {"choose RBDS in the United States", [&] { useRbds_ = useRbds_ || ReadsRbdsNames(lcid); }},
      {"load the programme-type names", [&] { stations.LoadNames(useRbds_); }},
      {"load the presets", [&] { startFreq = stations.LoadPresets(); }},
      {"start at the band's foot without presets",
       [&] {
         if (startFreq == 0) startFreq = band::kFmLow;
       }},
      {"mute", [&] { SetMute(true); }},
      {"tune", [&] { TuneTo(startFreq); }},
  };
  for (const StartStep& step : steps) {
    IgnoreErrors(step.run);
    if (ended) return;
  }
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
