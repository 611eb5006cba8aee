#include "radio_session.h"

#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "driver_reason.h"
#include "driver_traffic.h"
#include "error_words.h"
#include "halvane/band_plan.h"
#include "halvane/errors.h"
#include "halvane/file_names.h"
#include "host_settings.h"
#include "key_bindings.h"
#include "session_words.h"
#include "station_text.h"

namespace host {
using session::Field;
using session::kChooseFirst;
using session::kLastAmSetting;
using session::kLastFmSetting;
using session::kTrafficSetting;
using session::kTrafficVolume;
using session::kTrafficVolumeSetting;
using session::Lower;
namespace {

// The decimal mark of the user's number locale as the C library knows it; "." when unknown.
char EnvironmentDecimalMark() {
  char mark = '.';
  if (locale_t numeric = newlocale(LC_NUMERIC_MASK, "", nullptr)) {
    const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
    if (radix != nullptr && (radix[0] == ',' || radix[0] == '.')) mark = radix[0];
    freelocale(numeric);
  }
  return mark;
}

}  // namespace

std::string AttemptWords(const std::string& command) {
  const std::string word = Lower(Field(command, 0));
  if (word == "rtune") return "Can't tune to \"" + Field(command, 1) + "\"";
  if (word == "delpreset") return "Can't delete the preset";
  if (word == "movepreset") return "Can't move the preset";
  if (word == "scan" || word == "surf") return "Can't start the " + word;
  if (word.rfind("load", 0) == 0) return "Can't load \"" + Field(command, 1) + "\"";
  if (word == "savepreset") return "Can't save \"" + Field(command, 1) + "\"";
  return "Can't do \"" + command + "\"";
}

RadioSession::RadioSession(RadioHost& host) : host_(host), decimalMark_(EnvironmentDecimalMark()) {
  host_.sdk().onErrorScreen = [this](const ErrorScreen& args) {
    // Errscrn("Radio", "Device Error", message, ...): the screen, and the message line.
    auto part = [&](size_t i) {
      return i < args.size() ? CleanStationText(args[i].ToString()) : "";
    };
    ErrorScreenText screen{part(1), part(2)};
    // The driver knows why: the file and line, the device and the system's reason.
    const std::string reason = DriverReason(host_.DriverPath());
    if (!reason.empty()) screen.body += "\n\nThe tuner driver says:\n" + reason;
    errorScreen_ = std::move(screen);
    if (starting_) {
      // In plain words, with the driver's reason rather than the device error's own.
      tunerProblem_ = "No tuner";
      Say("The tuner did not start: " + (reason.empty() ? part(2) : reason), true);
    } else {
      Say(part(1) + ": " + part(2), true);
    }
  };
}

RadioSession::~RadioSession() { host_.sdk().onErrorScreen = nullptr; }

bool RadioSession::Create(std::string& error) {
  try {
    host_.Create();
    return true;
  } catch (const halvane::RuntimeError& e) {
    error = ErrorMessage(e.number(), "Can't create the radio");
  }
  return false;
}

void RadioSession::Say(std::string text, bool error) {
  if (text == message_ && error == messageIsError_) return;
  message_ = std::move(text);
  messageIsError_ = error;
  Changed();
}

void RadioSession::DismissErrorScreen() {
  errorScreen_.reset();
  Changed();
}

void RadioSession::Start() {
  halvane::IDMRadio& radio = host_.Radio();
  const HostSettings settings(SettingsPath());
  // The volume of the last run, before there is sound, where the tuner has a volume control.
  if (const auto saved = settings.GetNumber("volume", 0, 100); saved && volume())
    host_.SetVolume(*saved);
  lastFm_ = settings.GetNumber(kLastFmSetting, halvane::band::kFmLow, halvane::band::kFmTunerHigh)
                .value_or(halvane::band::kFmLow);
  lastAm_ = settings.GetNumber(kLastAmSetting, halvane::band::kAmLow, halvane::band::kAmHigh)
                .value_or(halvane::band::kAmLow);
  // The traffic switch: the plug-in holds it for its host, and a driver with its own (it goes to
  // linked programmes' announcements) follows it. Without a word of the person's the driver's
  // tuner.ini decides.
  const std::string driver = host_.DriverPath();
  const std::optional<std::string> saved = settings.Get(kTrafficSetting);
  bool liftMute = saved ? *saved == "on" : ReadDriverTraffic(driver).value_or(false);
  if (saved) WriteDriverTraffic(driver, liftMute);
  Guard("Can't set the traffic switch", [&] { radio.RDSTAEnabled(liftMute); });
  trafficVolume_ = settings.GetNumber(kTrafficVolumeSetting, 0, 100).value_or(kTrafficVolume);
  traffic_ = muteLifted_ = false;
  volumeBefore_.reset();
  starting_ = true;
  tunerProblem_.clear();
  Guard("Can't start the radio", [&] { radio.StartRadio(); });
  // Check shows the host's error screen when the tuner did not come up.
  Guard("Can't check the tuner", [&] { radio.Check(); });
  starting_ = false;
  bool on = true;
  Guard("Can't switch the radio on", [&] { radio.SetActive(on); });
  RefreshList();
  followedFreq_ = -1;
  Follow();
}

std::string RadioSession::SettingsPath() const { return host_.folders().config + kSettingsFile; }

void RadioSession::Stop() {
  if (!host_.HasPlugin()) return;
  halvane::IDMRadio& radio = host_.Radio();
  bool off = false;
  Guard("Can't save the presets", [&] { radio.SetActive(off); });
  Guard("Can't stop the radio", [&] { radio.StopRadio(); });
  // The volume the person chose is kept, not an announcement's.
  if (volumeBefore_) host_.SetVolume(*volumeBefore_);
  volumeBefore_.reset();
  HostSettings settings(SettingsPath());
  if (const std::optional<int32_t> percent = host_.Volume())
    settings.Set("volume", std::to_string(*percent));
  settings.Set(kLastFmSetting, std::to_string(lastFm_));
  settings.Set(kLastAmSetting, std::to_string(lastAm_));
  if (std::string why; !settings.Save(&why)) Say("Can't keep the volume and bands: " + why, true);
}

int32_t RadioSession::rowCount() const {
  return static_cast<int32_t>(host_.radioScreen->list->rows.size());
}

int32_t RadioSession::highlight() const { return host_.radioScreen->list->value; }

void RadioSession::RefreshList() {
  if (!host_.HasPlugin()) return;
  std::shared_ptr<halvane::Dispatch> frm = host_.radioScreen;
  Guard("Can't show the presets", [&] { host_.Radio().Refresh(frm); });
  KeepHeldRow();
  Changed();
}

bool RadioSession::Run(const std::string& command, const std::shared_ptr<ScreenObject>& screen,
                       std::string_view what, int16_t* result) {
  if (!host_.HasPlugin()) return false;
  requestedFreq_.reset();  // what the person asks next is about something else
  Heard(command);
  std::string cmd = command;
  std::shared_ptr<halvane::Dispatch> frm = screen;
  int16_t answer = -1;
  if (!Guard(what, [&] { answer = host_.Radio().ProcessCommand(cmd, frm); })) return false;
  Say("");
  if (result != nullptr) *result = answer;
  return true;
}

bool RadioSession::RunQuietly(const std::string& command) {
  std::string cmd = command;
  std::shared_ptr<halvane::Dispatch> frm = host_.radioScreen;
  try {
    host_.Radio().ProcessCommand(cmd, frm);
    return true;
  } catch (const halvane::RuntimeError&) {
    return false;
  }
}

bool RadioSession::Indicator(const char* keyword) {
  std::string ind = keyword;
  try {
    return host_.Radio().ReturnIndicatorEx(ind) == "True";
  } catch (const halvane::RuntimeError&) {
    return false;
  }
}

std::string RadioSession::Label(const char* keyword) {
  std::string lbl = keyword, fmt, text;
  try {
    text = host_.Radio().ReturnLabel(lbl, fmt);
  } catch (const halvane::RuntimeError&) {
    return {};
  }
  return CleanStationText(text);
}

// "2. 105.3 - Jazz": the name after the frequency.
std::string RadioSession::RowName(int32_t row) const {
  if (row < 0 || row >= rowCount()) return {};
  const std::string& text = host_.radioScreen->list->rows[static_cast<size_t>(row)];
  const size_t dash = text.find(" - ");
  return dash == std::string::npos ? std::string() : CleanStationText(text.substr(dash + 3));
}

void RadioSession::Command(const std::string& command) {
  const std::string word = Lower(Field(command, 0));
  const int32_t row = highlight(), rows = rowCount();
  const bool chosen = row >= 0 && row < rows;
  if ((word == "delpreset" || word == "editpreset") && !chosen) return Say(kChooseFirst);
  if (word == "delpreset" && command.find(';') == std::string::npos) {
    const std::string name = RowName(row);
    question_ = Question{"Delete preset " + std::to_string(row + 1) +
                             (name.empty() ? "" : " \"" + name + "\"") + "?",
                         command};
    Hold(row);
    return Changed();
  }
  if (word == "movepreset" &&
      (Lower(Field(command, 1)) == "up" || Lower(Field(command, 1)) == "down"))
    return Move(Lower(Field(command, 1)) == "up");
  halvane::IDMRadio* radio = host_.HasPlugin() ? &host_.Radio() : nullptr;
  if (radio != nullptr && radio->SearchMode() == halvane::SModes::Disabled) {
    if (word == "surf" && rows == 0)
      return Say("No presets to surf through: add stations first, or learn the band");
    if (word == "searchpresets") {
      question_ = Question{"Learn the band? This replaces the local preset list.", command};
      Hold(row);
      return Changed();
    }
  }
  RunAction(command);
}

void RadioSession::RunAction(const std::string& command) {
  // The plug-in records the chosen row with a keyboard word, then highlights the tuned
  // station's preset: the prompt is about the row chosen before.
  const int32_t chosen = highlight();
  int16_t result = -1;
  if (!Run(command, host_.radioScreen, AttemptWords(command), &result)) return;
  // 0 for a keyboard word: the host goes on by showing its on-screen keyboard.
  if (result == 0 && IsKeyboardCommand(command)) {
    Hold(chosen);
    OpenPrompt(Lower(command));
  }
}

void RadioSession::Follow() {
  if (!host_.HasPlugin()) return;
  KeepHeldRow();  // a command from the desktop re-highlights the tuned station's preset
  // A volume set from elsewhere (the desktop's media interface) is shown at once.
  if (const std::optional<int32_t> volume = host_.Volume(); volume != followedVolume_) {
    followedVolume_ = volume;
    Changed();
  }
  // A preset list that could not be saved: the plug-in tells only its log, the person sees it.
  if (const std::string notice = host_.sdk().LatestNotice(); notice != shownNotice_) {
    shownNotice_ = notice;
    if (!notice.empty()) Say(CleanStationText(host_.sdk().LatestNoticeText()), true);
  }
  int32_t freq = 0;
  try {
    if (!host_.Radio().IsActive()) return;
    freq = host_.Radio().Freq();
  } catch (const halvane::RuntimeError&) {
    return;
  }
  FollowTraffic();
  if (freq == followedFreq_) return;
  followedFreq_ = freq;
  if (halvane::band::InTunerBand(freq)) (halvane::band::IsFm(freq) ? lastFm_ : lastAm_) = freq;
  CheckRequestedFrequency(freq);
  // The plug-in finds the preset of the tuned frequency when the list is redrawn or a command
  // ran; a search step is neither, so the list is redrawn here.
  RefreshList();
  if (halvane::band::IsFm(freq)) {
    const std::string shown = Label("frequency");
    const size_t mark = shown.find_first_of(".,");
    if (mark != std::string::npos) decimalMark_ = shown[mark];
  }
}

void RadioSession::Heard(const std::string& command) {
  // The person's own mute or unmute wins over an announcement's.
  if (Lower(Field(command, 0)) == "radiomute") muteLifted_ = false;
}

void RadioSession::FollowTraffic() {
  // An alarm of the tuned programme (programme type 31) is heard like an announcement.
  const bool traffic = Indicator("rdstraffic") || Label("rdspty") == "31";
  if (traffic == traffic_) {
    // Muted during the announcement by someone else (the desktop's media keys): it stays so.
    if (muteLifted_ && Indicator("radiomute")) muteLifted_ = false;
    // A volume of the person's own during it stays too.
    if (volumeBefore_ && host_.Volume() != trafficVolume_) volumeBefore_.reset();
    return;
  }
  traffic_ = traffic;
  Changed();
  halvane::IDMRadio& radio = host_.Radio();
  if (traffic) {
    // Not during a search: it hops from station to station, and a command would stop it.
    bool lift = false;
    try {
      lift = radio.RDSTAEnabled() && radio.SearchMode() == halvane::SModes::Disabled;
    } catch (const halvane::RuntimeError&) {
    }
    if (lift && Indicator("radiomute")) muteLifted_ = RunQuietly("radiomute;off");
    // Heard at least at the traffic volume, where the tuner has a volume control.
    if (const std::optional<int32_t> now = host_.Volume();
        lift && now && *now < trafficVolume_ && host_.SetVolume(trafficVolume_)) {
      volumeBefore_ = now;
    }
    return;
  }
  if (muteLifted_) {
    muteLifted_ = false;
    RunQuietly("radiomute;on");
  }
  if (volumeBefore_) {
    host_.SetVolume(*volumeBefore_);
    volumeBefore_.reset();
  }
}

}  // namespace host
