// The command words the host may send to ProcessCommand: for each, which fields it needs, what it
// does and what it answers. The table is the one place a reader checks a word against; the
// dispatcher acts on the row it finds and nothing else.
#ifndef HALVANE_PLUGIN_COMMAND_TABLE_H
#define HALVANE_PLUGIN_COMMAND_TABLE_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace halvane {

// What a command does. One value per distinct action; several words may share one.
enum class CommandAction {
  kKeyboardRequest,  // record the command and the highlighted row; the host shows its keyboard
  kKeyboardConfirm,  // act on the recorded command with the typed text
  kMovePreset,       // move the highlighted preset up or down
  kFineUp,
  kFineDown,
  kFreqDown,  // seek down in seek mode, else a channel step down
  kFreqUp,    // seek up in seek mode, else a channel step up
  kNext,      // next preset in preset mode, else as kFreqUp
  kPrev,      // previous preset in preset mode, else as kFreqDown
  kTuneUp,
  kTuneDown,
  kSeekUp,
  kSeekDown,
  kToggleSeekMode,
  kScan,  // start a scan, or stop whatever search runs
  kSurf,  // start a surf, or stop whatever search runs
  kToggleMono,
  kSetMute,     // mute on "true"/"on", unmute on "off"/"false", else nothing
  kToggleMute,  // "radiomute" in any form other than one argument
  kRadioReset,
  kTuneToArgument,
  kTogglePresetMode,
  kNextPreset,
  kPreviousPreset,
  kDeletePreset,
  kToggleLocalList,
  kImportList,  // the argument's list file becomes the local list
  kClearPresets,
  kSearchPresets,  // start preset learning, or stop whatever search runs
  kLoadNamedPreset,
  kSaveNamedPreset,
};

// The fields a row accepts besides the command word. Field counts include the word itself.
enum class FieldRule {
  kAny,                  // arguments are ignored
  kUpOrDown,             // exactly one argument, "up" or "down" in any case
  kOneArgument,          // exactly one argument, any text
  kOneNonEmptyArgument,  // exactly one argument, not ""
  kSecondField,          // at least one argument; the second field may be ""
};

// What a command string whose fields break its row's rule does.
enum class OtherForms {
  kNotApplicable,   // the rule accepts every form
  kUnrecognised,    // as an unknown word: result 0, no search is stopped
  kNothing,         // does nothing, answers the row's result, search rule applies
  kNextRow,         // the next row of the same word takes it
  kSubscriptError,  // fails with error 9 before anything changes
};

struct CommandInfo {
  std::string_view word;  // as compared, after lower-casing
  FieldRule fields;
  OtherForms otherForms;
  CommandAction action;
  int16_t result;  // the answer when the row acts: 2 asks the host to do nothing more
};

// Every row, in the order they are searched. A word may have several rows (one per field form).
std::span<const CommandInfo> CommandTable();

// The row that takes a command string split into fields (field 0 already lower-cased): the first
// row of that word whose rule the fields keep, else the last row of the word, whose `otherForms`
// then says what happens. Null for a word that is not a command.
const CommandInfo* FindCommand(std::span<const std::string> fields);

// Whether the fields keep the row's rule.
bool FieldsFit(FieldRule rule, std::span<const std::string> fields);

// The command string split at every ";" (no quoting; empty fields count, "" is one empty field),
// its first field, the command word, lower-cased.
std::vector<std::string> CommandFields(std::string_view command);

// A short reading of a rule, for documentation: "any", "exactly one argument: up or down", ...
std::string_view DescribeFields(FieldRule rule);

}  // namespace halvane

#endif
