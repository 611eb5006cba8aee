#include "plugin/command_table.h"

#include <array>

#include "runtime/ascii.h"
#include "runtime/fields.h"

namespace halvane {
namespace {

using A = CommandAction;
using F = FieldRule;
using O = OtherForms;

constexpr char kCommandSeparator = ';';

// Result 0 lets the host go on with the command itself (the keyboard words open its on-screen
// keyboard); 2 tells it the radio has handled the command.
constexpr std::array kCommands{
    CommandInfo{"tune", F::kAny, O::kNotApplicable, A::kKeyboardRequest, 0},
    CommandInfo{"preset", F::kAny, O::kNotApplicable, A::kKeyboardRequest, 0},
    CommandInfo{"addpreset", F::kAny, O::kNotApplicable, A::kKeyboardRequest, 0},
    CommandInfo{"editpreset", F::kAny, O::kNotApplicable, A::kKeyboardRequest, 0},
    CommandInfo{"enter", F::kAny, O::kNotApplicable, A::kKeyboardConfirm, 0},
    CommandInfo{"movepreset", F::kUpOrDown, O::kUnrecognised, A::kMovePreset, 2},
    CommandInfo{"fineup", F::kAny, O::kNotApplicable, A::kFineUp, 2},
    CommandInfo{"finedown", F::kAny, O::kNotApplicable, A::kFineDown, 2},
    CommandInfo{"freq-", F::kAny, O::kNotApplicable, A::kFreqDown, 2},
    CommandInfo{"freq+", F::kAny, O::kNotApplicable, A::kFreqUp, 2},
    CommandInfo{"next", F::kAny, O::kNotApplicable, A::kNext, 2},
    CommandInfo{"dmnext", F::kAny, O::kNotApplicable, A::kNext, 2},
    CommandInfo{"prev", F::kAny, O::kNotApplicable, A::kPrev, 2},
    CommandInfo{"dmprev", F::kAny, O::kNotApplicable, A::kPrev, 2},
    CommandInfo{"tuneup", F::kAny, O::kNotApplicable, A::kTuneUp, 2},
    CommandInfo{"tunedown", F::kAny, O::kNotApplicable, A::kTuneDown, 2},
    CommandInfo{"seekup", F::kAny, O::kNotApplicable, A::kSeekUp, 2},
    CommandInfo{"seekdown", F::kAny, O::kNotApplicable, A::kSeekDown, 2},
    CommandInfo{"seekmode", F::kAny, O::kNotApplicable, A::kToggleSeekMode, 2},
    CommandInfo{"scan", F::kAny, O::kNotApplicable, A::kScan, 2},
    CommandInfo{"surf", F::kAny, O::kNotApplicable, A::kSurf, 2},
    CommandInfo{"mono", F::kAny, O::kNotApplicable, A::kToggleMono, 2},
    CommandInfo{"radiomute", F::kOneArgument, O::kNextRow, A::kSetMute, 2},
    CommandInfo{"radiomute", F::kAny, O::kNotApplicable, A::kToggleMute, 2},
    CommandInfo{"radioreset", F::kAny, O::kNotApplicable, A::kRadioReset, 2},
    CommandInfo{"rtune", F::kOneNonEmptyArgument, O::kNothing, A::kTuneToArgument, 2},
    CommandInfo{"presetmode", F::kAny, O::kNotApplicable, A::kTogglePresetMode, 2},
    CommandInfo{"presetup", F::kAny, O::kNotApplicable, A::kNextPreset, 2},
    CommandInfo{"presetdown", F::kAny, O::kNotApplicable, A::kPreviousPreset, 2},
    CommandInfo{"delpreset", F::kAny, O::kNotApplicable, A::kDeletePreset, 2},
    CommandInfo{"local", F::kAny, O::kNotApplicable, A::kToggleLocalList, 2},
    CommandInfo{"loadpresets", F::kSecondField, O::kSubscriptError, A::kImportList, 2},
    CommandInfo{"loadlist", F::kSecondField, O::kSubscriptError, A::kImportList, 2},
    CommandInfo{"clearpresets", F::kAny, O::kNotApplicable, A::kClearPresets, 2},
    CommandInfo{"searchpresets", F::kAny, O::kNotApplicable, A::kSearchPresets, 2},
    CommandInfo{"loadpreset", F::kOneNonEmptyArgument, O::kNothing, A::kLoadNamedPreset, 2},
    CommandInfo{"savepreset", F::kOneNonEmptyArgument, O::kNothing, A::kSaveNamedPreset, 2},
};

}  // namespace

std::span<const CommandInfo> CommandTable() { return kCommands; }

bool FieldsFit(FieldRule rule, std::span<const std::string> fields) {
  switch (rule) {
    case FieldRule::kAny:
      return true;
    case FieldRule::kUpOrDown: {
      if (fields.size() != 2) return false;
      const std::string direction = AsciiLowered(fields[1]);
      return direction == "up" || direction == "down";
    }
    case FieldRule::kOneArgument:
      return fields.size() == 2;
    case FieldRule::kOneNonEmptyArgument:
      return fields.size() == 2 && !fields[1].empty();
    case FieldRule::kSecondField:
      return fields.size() >= 2;
  }
  return false;
}

const CommandInfo* FindCommand(std::span<const std::string> fields) {
  if (fields.empty()) return nullptr;
  for (const CommandInfo& row : kCommands) {
    if (row.word != fields[0]) continue;
    if (FieldsFit(row.fields, fields) || row.otherForms != OtherForms::kNextRow) return &row;
  }
  return nullptr;
}

std::vector<std::string> CommandFields(std::string_view command) {
  const std::vector<std::string_view> split = SplitFields(command, kCommandSeparator);
  std::vector<std::string> fields(split.begin(), split.end());
  fields[0] = AsciiLowered(fields[0]);
  return fields;
}

std::string_view DescribeFields(FieldRule rule) {
  switch (rule) {
    case FieldRule::kAny:
      return "any";
    case FieldRule::kUpOrDown:
      return "exactly one argument: up or down";
    case FieldRule::kOneArgument:
      return "exactly one argument";
    case FieldRule::kOneNonEmptyArgument:
      return "exactly one argument, not empty";
    case FieldRule::kSecondField:
      return "a second field, possibly empty";
  }
  return "";
}

}  // namespace halvane
