// ProcessCommand: every command string of the host, acted on by the row of the command table it
// matches. Nothing is trapped here: an error ends the call, what was done before stays done, and
// the closing steps (highlighting the current preset, stopping a search) are skipped.
#include "halvane/errors.h"
#include "plugin/command_table.h"
#include "plugin/dm_radio.h"
#include "plugin/keyboard_dialogue.h"
#include "plugin/typed_frequency.h"
#include "runtime/ascii.h"
#include "runtime/text_file.h"

namespace halvane {
namespace {

constexpr int16_t kNotHandled = 0;

// What the closing steps need to know about the call.
enum class Outcome { kActed, kUnrecognised };

// The argument names a list file to import into the local list; "" imports the local list itself.
// A path that names no readable file fails before anything changes: importing it would empty the
// store and save the empty store over the local list. The list being left is saved first.
void ImportList(DMRadio& radio, const std::string& path, ObjectRef& frm) {
  if (!path.empty() && (!IsRegularFile(path) || !ReadFileBytes(path, kListFileLimit))) {
    Raise(kFileNotFound, path);
  }
  Component& c = radio.component();
  if (!radio.LocalMode()) c.presets().SavePresets();  // the main list, as switching lists saves it
  radio.LocalMode(true);
  c.presets().LoadPresets(path);  // the list's start frequency is not wanted here
  c.presets().SavePresets();
  radio.Refresh(frm);
}

// A search command stops whatever search runs, or starts its own.
void StopSearchOr(DMRadio& radio, void (Search::*start)()) {
  Search& search = radio.search();
  if (search.Mode() != SModes::Disabled) {
    search.Stop();
  } else {
    (search.*start)();
  }
}

// The row's action. `fields[0]` is the lower-cased word; `command` the string as the host sent it.
void Act(DMRadio& radio, const CommandInfo& row, const std::vector<std::string>& fields,
         std::string_view command, ObjectRef& frm) {
  Component& c = radio.component();
  ModRadio& tuner = c.radio();
  ModPresets& presets = c.presets();
  switch (row.action) {
    case CommandAction::kKeyboardRequest:
      return radio.keyboard().Request(c, command, frm);
    case CommandAction::kKeyboardConfirm:
      return radio.keyboard().Confirm(c, frm);
    case CommandAction::kMovePreset:
      return presets.MovePreset(frm, AsciiLowered(fields[1]) == "up");
    case CommandAction::kFineUp:
      return tuner.FineUp();
    case CommandAction::kFineDown:
      return tuner.FineDown();
    case CommandAction::kFreqDown:
      return radio.SeekMode() ? tuner.SeekDown() : tuner.FineDown();
    case CommandAction::kFreqUp:
      return radio.SeekMode() ? tuner.SeekUp() : tuner.FineUp();
    case CommandAction::kNext:
      if (radio.PresetMode()) return presets.NextPreset();
      return radio.SeekMode() ? tuner.SeekUp() : tuner.FineUp();
    case CommandAction::kPrev:
      if (radio.PresetMode()) return presets.PreviousPreset();
      return radio.SeekMode() ? tuner.SeekDown() : tuner.FineDown();
    case CommandAction::kTuneUp:
      return tuner.TuneUp();
    case CommandAction::kTuneDown:
      return tuner.TuneDown();
    case CommandAction::kSeekUp:
      return tuner.SeekUp();
    case CommandAction::kSeekDown:
      return tuner.SeekDown();
    case CommandAction::kToggleSeekMode:
      return radio.SeekMode(!radio.SeekMode());
    case CommandAction::kScan:
      return StopSearchOr(radio, &Search::StartScan);
    case CommandAction::kSurf:
      return StopSearchOr(radio, &Search::StartSurf);
    case CommandAction::kToggleMono:
      return tuner.ToggleMono();
    case CommandAction::kSetMute: {
      const std::string state = AsciiLowered(fields[1]);
      if (state == "true" || state == "on") return tuner.SetMute(true);
      if (state == "off" || state == "false") return tuner.SetMute(false);
      return;
    }
    case CommandAction::kToggleMute:
      return tuner.ToggleMute();
    case CommandAction::kRadioReset:
      radio.StopRadio();
      return radio.StartRadio();
    case CommandAction::kTuneToArgument: {
      const int32_t f = ArgumentFrequency(fields[1], c.Numbers());
      if (f != 0) tuner.TuneTo(f);
      return;
    }
    case CommandAction::kTogglePresetMode:
      return radio.PresetMode(!radio.PresetMode());
    case CommandAction::kNextPreset:
      return presets.NextPreset();
    case CommandAction::kPreviousPreset:
      return presets.PreviousPreset();
    case CommandAction::kDeletePreset:
      return presets.DeletePreset(frm);
    case CommandAction::kToggleLocalList:
      return presets.ToggleLocalPresets(frm);
    case CommandAction::kImportList:
      return ImportList(radio, fields[1], frm);
    case CommandAction::kClearPresets:
      presets.ResetPresets();
      radio.Refresh(frm);
      return presets.SavePresets();
    case CommandAction::kSearchPresets:
      if (radio.SearchMode() != SModes::Disabled) return radio.StopSearch();
      return radio.search().StartPresetLearning(frm);
    case CommandAction::kLoadNamedPreset:
      if (std::optional<int32_t> freq = presets.LoadNamedPreset(fields[1])) radio.Tune(*freq);
      return;
    case CommandAction::kSaveNamedPreset:
      return presets.SaveNamedPreset(fields[1]);
  }
}

// Acts on a command string whose fields do not keep its row's rule.
Outcome ActOnOtherForm(const CommandInfo& row) {
  switch (row.otherForms) {
    case OtherForms::kUnrecognised:
      return Outcome::kUnrecognised;
    case OtherForms::kSubscriptError:
      Raise(kSubscriptRange, std::string(row.word));
    case OtherForms::kNothing:
    case OtherForms::kNextRow:
    case OtherForms::kNotApplicable:
      break;
  }
  return Outcome::kActed;
}

}  // namespace

int16_t DMRadio::ProcessCommand(std::string& CMD, std::shared_ptr<Dispatch>& frm) {
  if (!IsActive()) return kNotHandled;
  if (CMD.empty()) return kNotHandled;

  const std::vector<std::string> fields = CommandFields(CMD);

  int16_t result = kNotHandled;
  Outcome outcome = Outcome::kUnrecognised;
  if (const CommandInfo* row = FindCommand(fields)) {
    if (FieldsFit(row->fields, fields)) {
      Act(*this, *row, fields, CMD, frm);
      outcome = Outcome::kActed;
    } else {
      outcome = ActOnOtherForm(*row);
    }
    if (outcome == Outcome::kActed) result = row->result;
  }

  c_.presets().SelectCurrentPreset(frm);
  if (outcome == Outcome::kActed) search_.AfterCommand(fields[0]);
  return result;
}

}  // namespace halvane
