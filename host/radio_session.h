// The radio as a person uses it, whichever face draws it: starting and stopping, every action with
// its words when it fails or does nothing, the message line (cleared by the next action that
// works), the keyboard dialogue, questions before what can't be undone, and following the radio
// between actions (the preset that holds a frequency a search reached, the lists it could not
// save). A face draws what the session holds and hands it the person's input; nothing here
// draws.
#ifndef HALVANE_HOST_RADIO_SESSION_H
#define HALVANE_HOST_RADIO_SESSION_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "error_words.h"
#include "halvane/band_plan.h"
#include "halvane/errors.h"
#include "key_bindings.h"
#include "keyboard_prompt.h"
#include "radio_host.h"

namespace host {

// A question asked before an action that can't be undone; `command` runs on yes.
struct Question {
  std::string text;
  std::string command;
};

// What the host's error screen was asked to show ("Device Error" and its message, with the
// driver's reason when it gave one).
struct ErrorScreenText {
  std::string title;
  std::string body;
};

class RadioSession {
 public:
  explicit RadioSession(RadioHost& host);
  ~RadioSession();
  RadioSession(const RadioSession&) = delete;
  RadioSession& operator=(const RadioSession&) = delete;

  RadioHost& host() { return host_; }

  // Creates the plug-in; false with the words of the failure in `error`.
  bool Create(std::string& error);
  // Starts the tuner, checks it (a tuner that did not come up shows the error screen), makes the
  // radio active and fills the preset list.
  void Start();
  // Makes the radio inactive and stops it, so the presets are saved.
  void Stop();

  // The message line: what the last action came to, "" once one works.
  const std::string& message() const { return message_; }
  bool messageIsError() const { return messageIsError_; }
  void Say(std::string text, bool error = false);

  const std::optional<ErrorScreenText>& errorScreen() const { return errorScreen_; }
  void DismissErrorScreen();
  // Plain words for a tuner that does not work, with the driver's reason; "" while it works.
  const std::string& tunerProblem() const { return tunerProblem_; }

  // A command from the radio screen: a key, a button, or a typed command line. Commands that act
  // on the chosen preset need one chosen; deleting and learning ask first.
  void Command(const std::string& command);
  // Does what a key of the radio's table asks (docs/host.md); false for what only a face can do
  // (the help, quitting), which it then does itself.
  bool Act(const KeyBinding& binding);
  void Recall(int32_t preset);
  // FM to AM and back: to the other band's last frequency of this run or the last (kept in the
  // settings), or to the band's first.
  void SwitchBand();
  // Stores the tuned station as a new preset named as it names itself, without a prompt (a long
  // press on an empty preset button).
  void StorePreset();
  // The host's traffic switch ("traffic=on" in the settings, the plug-in's RDSTAEnabled, and the
  // driver's own where it has one): the tuner goes to a linked programme's announcement and
  // back, and an announcement lifts a mute and is heard at least at "traffic_volume".
  bool trafficSwitch();
  void SetTrafficSwitch(bool on);
  // Moves the preset list's highlight (the row the person chose) by `step` rows.
  void MoveHighlight(int32_t step);
  void RecallHighlight();

  // The tuner's volume in percent; nothing when the driver has no volume control.
  std::optional<int32_t> volume() { return host_.Volume(); }
  void SetVolume(int32_t percent);
  void StepVolume(int32_t step) { SetVolume(volume().value_or(0) + step); }
  int32_t rowCount() const;
  int32_t highlight() const;

  // The keyboard dialogue, while one is open: the command that opened it ("" for the command
  // line) and the text typed so far, prefilled where there is something to start from.
  KeyboardPrompt* prompt() { return prompt_ ? &*prompt_ : nullptr; }
  const KeyboardPrompt* prompt() const { return prompt_ ? &*prompt_ : nullptr; }
  void OpenCommandLine();
  // Hands the prompt's text to the plug-in; the prompt stays open when the text was refused.
  void ConfirmPrompt();
  void CancelPrompt();

  const std::optional<Question>& question() const { return question_; }
  // A face's own panel over the radio (the help, further actions) holds the chosen row as a
  // prompt does, until it closes.
  void HoldChoice(bool hold);
  void Answer(bool yes);

  // Looks at the radio after whatever woke the main loop: a frequency that changed without an
  // action (a search step, a seek from the desktop) re-highlights the preset that holds it, and
  // a preset list the plug-in could not save is said on the message line.
  void Follow();

  // A traffic announcement now, the station's own or a linked programme's. With the host's
  // setting on (the plug-in's RDSTAEnabled, "traffic=on" in the settings) a mute is lifted for
  // the announcement's length and put back after it, unless the person muted or unmuted
  // meanwhile: their word wins.
  bool traffic() const { return traffic_; }
  // A command the plug-in gets from elsewhere (the desktop's media keys): a mute or unmute in it
  // is the person's own.
  void Heard(const std::string& command);

  // Counts the changes of what the session holds (message, prompt, question, highlight, error
  // screen), so a face redraws only after one.
  uint64_t changes() const { return changes_; }

 private:
  // Runs one plug-in call; a run-time error becomes the message, said with `what`.
  template <class Call>
  bool Guard(std::string_view what, Call&& call) {
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
  bool Run(const std::string& command, const std::shared_ptr<ScreenObject>& screen,
           std::string_view what, int16_t* result = nullptr);
  void RunAction(const std::string& command);
  void TypedCommand(const std::string& command);
  void Move(bool up);
  void RefreshList();
  void OpenPrompt(const std::string& keyboardCommand);
  // The person's choice in the list is held while a prompt or question is open: the plug-in
  // re-highlights the tuned station's preset after every command and redraw, and the choice
  // must stay the row the prompt or question is about.
  void Hold(int32_t row);
  void Release() { held_.reset(); }
  void KeepHeldRow();
  void CheckRequestedFrequency(int32_t tuned);
  void FollowTraffic();
  // Runs a command the session gives on its own (not the person's): its failure is no message.
  bool RunQuietly(const std::string& command);
  bool Indicator(const char* keyword);
  void Changed() { ++changes_; }
  std::string SettingsPath() const;
  std::string Label(const char* keyword);
  std::string RowName(int32_t row) const;

  RadioHost& host_;
  std::string message_;
  bool messageIsError_ = false;
  std::optional<ErrorScreenText> errorScreen_;
  std::string tunerProblem_;
  std::optional<KeyboardPrompt> prompt_;
  std::optional<Question> question_;
  std::optional<int32_t> held_;  // the chosen row while a prompt or question is open
  bool starting_ = false;
  int32_t followedFreq_ = -1;
  std::optional<int32_t> followedVolume_;
  int32_t lastFm_ = halvane::band::kFmLow, lastAm_ = halvane::band::kAmLow;
  std::optional<double> requestedFreq_;  // a typed frequency, until the tuner has one in a band
  std::string shownNotice_;              // the latest failed-save line already shown
  char decimalMark_ = '.';
  bool traffic_ = false;
  bool muteLifted_ = false;    // the announcement lifted a mute, to be put back at its end
  int32_t trafficVolume_ = 0;  // an announcement is heard at least this loud
  std::optional<int32_t> volumeBefore_;  // the volume an announcement raised, to go back to
  uint64_t changes_ = 0;
};

// What a person tried, for the words of a failure: "Can't tune to \"x\"".
std::string AttemptWords(const std::string& command);

// The tuned value a typed frequency asks for, read as the plug-in reads it ("." or "," as the
// decimal mark): a keyboard entry below 530 is megahertz, a command argument with a decimal mark
// is. Empty for a text that is no number.
std::optional<double> RequestedFrequency(const std::string& text, bool fromKeyboard);

}  // namespace host

#endif
