// The radio session's keyboard dialogue and questions: what a prompt starts from and what its
// text becomes, and the chosen row held while either is open.
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "halvane/band_plan.h"
#include "halvane/file_names.h"
#include "radio_session.h"
#include "session_words.h"
#include "station_text.h"

namespace host {
using session::Field;
using session::Lower;
using session::Trimmed;
namespace {

// A typed number below any AM frequency is megahertz.
constexpr double kAmBelow = halvane::band::kAmLow;
constexpr double kNearEnough = 20;  // a channel or two: the plug-in rounds to its plan

std::string PromptAttempt(const KeyboardPrompt& prompt) {
  const std::string& c = prompt.keyboardCommand();
  if (c == "tune") return "Can't tune to \"" + prompt.text() + "\"";
  if (c == "preset") return "Can't recall preset \"" + prompt.text() + "\"";
  if (c == "addpreset") return "Can't add the preset";
  return "Can't rename the preset";
}

}  // namespace

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

void RadioSession::Answer(bool yes) {
  if (!question_) return;
  const std::string command = question_->command;
  question_.reset();
  // The command acts on the row the question named, whatever was highlighted meanwhile.
  KeepHeldRow();
  Release();
  Changed();
  if (yes) RunAction(command);
}

void RadioSession::Hold(int32_t row) {
  held_ = row;
  KeepHeldRow();
}

void RadioSession::HoldChoice(bool hold) {
  if (hold && !held_)
    Hold(highlight());
  else if (!hold && !prompt_ && !question_)
    Release();
}

void RadioSession::KeepHeldRow() {
  if (!held_) return;
  ListControl& list = *host_.radioScreen->list;
  if (list.value == *held_) return;
  list.value = *held_ < rowCount() ? *held_ : -1;
  Changed();
}

// A typed command is what the person wants already: it runs as typed, without questions.
void RadioSession::TypedCommand(const std::string& command) {
  const std::string word = Lower(Field(command, 0));
  const int32_t chosen = highlight();
  int16_t result = -1;
  if (!Run(command, host_.radioScreen, AttemptWords(command), &result)) return;
  if (result == 0 && IsKeyboardCommand(command)) {
    Hold(chosen);
    OpenPrompt(word);
  } else if (result == 0 && word != "enter")
    Say("The radio does not know the command \"" + command + "\" (see docs/skin-reference.md)");
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

void RadioSession::OpenCommandLine() {
  Hold(highlight());
  OpenPrompt("");
}

void RadioSession::ConfirmPrompt() {
  if (!prompt_) return;
  const KeyboardPrompt& prompt = *prompt_;
  const std::string text = prompt.TextForPlugin(decimalMark_);
  if (prompt.IsCommandLine()) {
    prompt_.reset();
    Release();
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
  Release();
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
  Release();
  Changed();
  // "enter" from a screen other than the keyboard drops the plug-in's pending keyboard command.
  if (keyboard) Run("enter", host_.plainScreen, "Can't cancel");
}

// The tuner keeps a frequency outside the band at the band's edge, and the plug-in says nothing:
// once the tuner's frequency is back in a band, a request far from it was outside.
void RadioSession::CheckRequestedFrequency(int32_t tuned) {
  if (!requestedFreq_ || !halvane::band::InTunerBand(tuned)) return;
  const double requested = *requestedFreq_;
  requestedFreq_.reset();
  if (std::fabs(requested - tuned) <= kNearEnough || messageIsError_) return;
  Say(FrequencyWithUnit(Label("frequency"), Label("mhzkhz")) + " is the " +
      (requested > tuned ? "top" : "bottom") + " of the " +
      (halvane::band::IsFm(tuned) ? "FM" : "AM") + " band");
}

}  // namespace host
