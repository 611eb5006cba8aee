#include "radio_session.h"

#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "driver_reason.h"
#include "error_words.h"
#include "halvane/errors.h"
#include "halvane/file_names.h"
#include "host_settings.h"
#include "key_bindings.h"

namespace host {
namespace {

constexpr const char* kChooseFirst = "Choose a preset in the list first";
constexpr const char* kEmptyList = "The preset list is empty: add the station first";
constexpr double kAmBelow = 530;   // a typed number below any AM frequency is megahertz
constexpr int32_t kFmFrom = 8750;  // tuned values from here up are FM, in 10 kHz
constexpr int32_t kFmTop = 10800;
constexpr int32_t kAmFrom = 530;  // and AM in kHz
constexpr int32_t kAmTop = 1710;
constexpr double kNearEnough = 20;  // a channel or two: the plug-in rounds to its plan
constexpr const char* kTrafficSetting = "traffic";  // "on": announcements lift a mute

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Field(const std::string& command, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    start = command.find(';', start);
    if (start == std::string::npos) return {};
    ++start;
  }
  return command.substr(start, command.find(';', start) - start);
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string PromptAttempt(const KeyboardPrompt& prompt) {
  const std::string& c = prompt.keyboardCommand();
  if (c == "tune") return "Can't tune to \"" + prompt.text() + "\"";
  if (c == "preset") return "Can't recall preset \"" + prompt.text() + "\"";
  if (c == "addpreset") return "Can't add the preset";
  return "Can't rename the preset";
}

// The decimal mark of the user's number locale as the C library knows it; "." when unknown.
char EnvironmentDecimalMark() {
  char mark = '.';
  if (locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0))) {
    const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
    if (radix != nullptr && (radix[0] == ',' || radix[0] == '.')) mark = radix[0];
    freelocale(numeric);
  }
  return mark;
}

// Control characters (an RDS record's NULs) as blanks, the padding blanks at the end removed.
std::string Shown(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return Trimmed(text);
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

std::optional<double> RequestedFrequency(const std::string& text, bool fromKeyboard) {
  std::string number = Trimmed(text);
  const bool mark = number.find_first_of(".,") != std::string::npos;
  std::replace(number.begin(), number.end(), ',', '.');
  double value = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || ec != std::errc() || end != number.data() + number.size()) return {};
  const bool megahertz = fromKeyboard ? value < kAmBelow : mark;
  return megahertz ? value * 100 : value;
}

template <class Call>
bool RadioSession::Guard(std::string_view what, Call&& call) {
  try {
    call();
    return true;
  } catch (const halvane::RuntimeError& e) {
    Say(ErrorMessage(e.number(), what), true);
  } catch (const std::exception& e) {
    Say(std::string(what) + ": " + e.what(), true);
  }
  return false;
}

RadioSession::RadioSession(RadioHost& host) : host_(host), decimalMark_(EnvironmentDecimalMark()) {
  host_.sdk().onErrorScreen = [this](const ErrorScreen& args) {
    // Errscrn("Radio", "Device Error", message, ...): the screen, and the message line.
    auto part = [&](size_t i) { return i < args.size() ? Shown(args[i].ToString()) : ""; };
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
  // The traffic switch the plug-in holds for its host.
  bool liftMute = settings.Get(kTrafficSetting).value_or("off") == "on";
  Guard("Can't set the traffic switch", [&] { radio.RDSTAEnabled(liftMute); });
  traffic_ = muteLifted_ = false;
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
  if (const std::optional<int32_t> percent = host_.Volume()) {
    HostSettings settings(SettingsPath());
    settings.Set("volume", std::to_string(*percent));
    if (!settings.Save()) Say("Can't keep the volume in " + SettingsPath(), true);
  }
}

int32_t RadioSession::rowCount() const {
  return static_cast<int32_t>(host_.radioScreen->list->rows.size());
}

int32_t RadioSession::highlight() const { return host_.radioScreen->list->value; }

void RadioSession::RefreshList() {
  if (!host_.HasPlugin()) return;
  std::shared_ptr<halvane::Dispatch> frm = host_.radioScreen;
  Guard("Can't show the presets", [&] { host_.Radio().Refresh(frm); });
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
  return Shown(text);
}

// "2. 105.3 - Jazz": the name after the frequency.
std::string RadioSession::RowName(int32_t row) const {
  if (row < 0 || row >= rowCount()) return {};
  const std::string& text = host_.radioScreen->list->rows[static_cast<size_t>(row)];
  const size_t dash = text.find(" - ");
  return dash == std::string::npos ? std::string() : Shown(text.substr(dash + 3));
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
      return Changed();
    }
  }
  RunAction(command);
}

void RadioSession::RunAction(const std::string& command) {
  int16_t result = -1;
  if (!Run(command, host_.radioScreen, AttemptWords(command), &result)) return;
  // 0 for a keyboard word: the host goes on by showing its on-screen keyboard.
  if (result == 0 && IsKeyboardCommand(command)) OpenPrompt(Lower(command));
}

void RadioSession::Answer(bool yes) {
  if (!question_) return;
  const std::string command = question_->command;
  question_.reset();
  Changed();
  if (yes) RunAction(command);
}

// A typed command is what the person wants already: it runs as typed, without questions.
void RadioSession::TypedCommand(const std::string& command) {
  const std::string word = Lower(Field(command, 0));
  int16_t result = -1;
  if (!Run(command, host_.radioScreen, AttemptWords(command), &result)) return;
  if (result == 0 && IsKeyboardCommand(command))
    OpenPrompt(word);
  else if (result == 0 && word != "enter")
    Say("The radio does not know the command \"" + command + "\" (see docs/skin-reference.md)");
}

void RadioSession::Move(bool up) {
  const ListControl& list = *host_.radioScreen->list;
  const int32_t row = list.value;
  if (row < 0 || row >= rowCount()) return Say(kChooseFirst);
  if (up ? row == 0 : row == rowCount() - 1)
    return Say(up ? "That preset is at the top already" : "That preset is at the bottom already");
  const uint64_t before = list.generation;
  if (!Run(up ? "movepreset;up" : "movepreset;down", host_.radioScreen, "Can't move the preset"))
    return;
  if (list.generation == before)
    return Say("Presets move while one of them plays: recall one first");
  // The chosen preset stays chosen in its new place.
  host_.radioScreen->list->value = row + (up ? -1 : 1);
  Changed();
}

void RadioSession::Recall(int32_t preset) {
  if (!host_.HasPlugin()) return;
  if (rowCount() == 0) return Say(kEmptyList);
  if (preset < 1 || preset > rowCount())
    return Say("There is no preset " + std::to_string(preset) + " (the list has " +
               std::to_string(rowCount()) + ")");
  requestedFreq_.reset();
  int16_t n = static_cast<int16_t>(preset);
  if (!Guard("Can't recall preset " + std::to_string(preset),
             [&] { host_.Radio().PresetRecall(n); }))
    return;
  Say("");
  RefreshList();  // the recalled preset's row is highlighted
}

void RadioSession::MoveHighlight(int32_t step) {
  const int32_t rows = rowCount();
  if (rows == 0) return Say(kEmptyList);
  ListControl& list = *host_.radioScreen->list;
  const int32_t row = list.value < 0 ? 0 : list.value + step;
  // The person's choice: the list's Value, which the screen's PLValue answers too.
  list.value = std::clamp(row, 0, rows - 1);
  Say("");
  Changed();
}

void RadioSession::SetVolume(int32_t percent) {
  if (!host_.SetVolume(percent)) return Say("This tuner has no volume control");
  Say("");
  Changed();
}

void RadioSession::RecallHighlight() {
  const int32_t row = highlight();
  if (row < 0 || row >= rowCount()) return Say(kChooseFirst);
  Recall(row + 1);
}

void RadioSession::OpenPrompt(const std::string& keyboardCommand) {
  prompt_.emplace(keyboardCommand);
  // A name to start from: the station's own for a new preset, the old one for a rename.
  if (keyboardCommand == "addpreset") {
    std::string name = Label("rdsname");
    if (name.empty()) name = Label("frequency");
    prompt_->SetText(name);
  } else if (keyboardCommand == "editpreset") {
    prompt_->SetText(RowName(highlight()));
  }
  Changed();
}

void RadioSession::OpenCommandLine() { OpenPrompt(""); }

void RadioSession::ConfirmPrompt() {
  if (!prompt_) return;
  const KeyboardPrompt& prompt = *prompt_;
  const std::string text = prompt.TextForPlugin(decimalMark_);
  if (prompt.IsCommandLine()) {
    prompt_.reset();
    Changed();
    if (!text.empty()) TypedCommand(text);
    if (Lower(Field(text, 0)) == "rtune") {
      requestedFreq_ = RequestedFrequency(Field(text, 1), false);
    } else if (Lower(Field(text, 0)) == "loadpreset" && message_.empty()) {
      struct stat st {};
      const std::string file = halvane::NamedPresetFile(host_.folders().config, Field(text, 1));
      if (::stat(file.c_str(), &st) != 0)
        Say("No saved preset is named \"" + Field(text, 1) + "\"");
    }
    return;
  }
  const std::string command = prompt.keyboardCommand();
  if ((command == "addpreset" || command == "editpreset") && Trimmed(text).empty())
    return Say("A preset needs a name: type one, or cancel");
  host_.keyboardScreen->txt[0]->text = text;
  // A text the plug-in refused keeps the prompt open; the plug-in keeps its request.
  if (!Run("enter", host_.keyboardScreen, PromptAttempt(prompt))) return;
  const KeyboardPrompt done = std::move(*prompt_);
  prompt_.reset();
  Changed();
  // Back on the radio screen: its list shows what the keyboard dialogue changed.
  RefreshList();
  if (command == "tune") {
    requestedFreq_ = RequestedFrequency(done.text(), true);
  } else if (command == "preset") {
    // The plug-in recalls nothing for a number that is no preset's; say so.
    const std::string typed = Trimmed(done.text());
    int32_t n = 0;
    auto [end, ec] = std::from_chars(typed.data(), typed.data() + typed.size(), n);
    if (ec != std::errc() || end != typed.data() + typed.size() || n < 1 || n > rowCount())
      Say("There is no preset \"" + done.text() + "\" (the list has " + std::to_string(rowCount()) +
          ")");
  }
}

void RadioSession::CancelPrompt() {
  if (!prompt_) return;
  const bool keyboard = !prompt_->IsCommandLine();
  prompt_.reset();
  Changed();
  // "enter" from a screen other than the keyboard drops the plug-in's pending keyboard command.
  if (keyboard) Run("enter", host_.plainScreen, "Can't cancel");
}

// The tuner keeps a frequency outside the band at the band's edge, and the plug-in says nothing:
// once the tuner's frequency is back in a band, a request far from it was outside.
void RadioSession::CheckRequestedFrequency(int32_t tuned) {
  const bool inBand =
      (tuned >= kFmFrom && tuned <= kFmTop) || (tuned >= kAmFrom && tuned <= kAmTop);
  if (!requestedFreq_ || !inBand) return;
  const double requested = *requestedFreq_;
  requestedFreq_.reset();
  if (std::fabs(requested - tuned) <= kNearEnough || messageIsError_) return;
  std::string unit = Label("mhzkhz");
  if (unit == "KHz") unit = "kHz";
  Say(Label("frequency") + " " + unit + " is the " + (requested > tuned ? "top" : "bottom") +
      " of the " + (tuned >= kFmFrom ? "FM" : "AM") + " band");
}

void RadioSession::Follow() {
  if (!host_.HasPlugin()) return;
  // A preset list that could not be saved: the plug-in tells only its log, the person sees it.
  if (const std::string notice = host_.sdk().LatestNotice(); notice != shownNotice_) {
    shownNotice_ = notice;
    if (!notice.empty()) Say(Shown(host_.sdk().LatestNoticeText()), true);
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
  CheckRequestedFrequency(freq);
  // The plug-in finds the preset of the tuned frequency when the list is redrawn or a command
  // ran; a search step is neither, so the list is redrawn here.
  RefreshList();
  if (freq >= kFmFrom) {
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
  const bool traffic = Indicator("rdstraffic");
  if (traffic == traffic_) {
    // Muted during the announcement by someone else (the desktop's media keys): it stays so.
    if (muteLifted_ && Indicator("radiomute")) muteLifted_ = false;
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
  } else if (muteLifted_) {
    muteLifted_ = false;
    RunQuietly("radiomute;on");
  }
}

}  // namespace host
