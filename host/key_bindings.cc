#include "key_bindings.h"

#include <curses.h>

#include <algorithm>
#include <cstdio>

#include "field_line.h"

namespace host {
namespace {

constexpr int kEnterKeys[] = {'\n', '\r', KEY_ENTER};

// clang-format off
const KeyBinding kBindings[] = {
  {KEY_RIGHT, "Right",     KeyAction::Command, "fineup",         0, "next channel up", "Step ▶"},
  {KEY_LEFT,  "Left",      KeyAction::Command, "finedown",       0, "next channel down", "◀ Step"},
  {KEY_PPAGE, "PgUp",      KeyAction::Command, "seekup",         0, "seek the next station up", "Seek ▶▶"},
  {KEY_NPAGE, "PgDn",      KeyAction::Command, "seekdown",       0, "seek the next station down", "◀◀ Seek"},
  {'+',       "+",         KeyAction::Command, "tuneup",         0, "one megahertz up", "More… +1 MHz"},
  {'-',       "-",         KeyAction::Command, "tunedown",       0, "one megahertz down", "More… −1 MHz"},
  {'n',       "n",         KeyAction::Command, "next",           0, "one channel up (seek mode: seek up; preset mode: the next preset)", "More… Next"},
  {'p',       "p",         KeyAction::Command, "prev",           0, "one channel down (seek mode: seek down; preset mode: the previous preset)", "More… Previous"},
  {'1',       "1-9",       KeyAction::RecallPreset, nullptr,     1, "recall preset 1 to 9", "a preset button, a row of the list"},
  {'2',       "2",         KeyAction::RecallPreset, nullptr,     2, "", ""},
  {'3',       "3",         KeyAction::RecallPreset, nullptr,     3, "", ""},
  {'4',       "4",         KeyAction::RecallPreset, nullptr,     4, "", ""},
  {'5',       "5",         KeyAction::RecallPreset, nullptr,     5, "", ""},
  {'6',       "6",         KeyAction::RecallPreset, nullptr,     6, "", ""},
  {'7',       "7",         KeyAction::RecallPreset, nullptr,     7, "", ""},
  {'8',       "8",         KeyAction::RecallPreset, nullptr,     8, "", ""},
  {'9',       "9",         KeyAction::RecallPreset, nullptr,     9, "", ""},
  {'g',       "g",         KeyAction::Command, "preset",         0, "recall a preset by typed number", "More… Preset No."},
  {'t',       "t",         KeyAction::Command, "tune",           0, "tune to a typed frequency (MHz, or kHz for AM)", "Tune…"},
  {KEY_UP,    "Up",        KeyAction::HighlightUp, nullptr,      0, "move the preset list's highlight up", "a row of the list"},
  {KEY_DOWN,  "Down",      KeyAction::HighlightDown, nullptr,    0, "move the preset list's highlight down", "a row of the list"},
  {'\n',      "Enter",     KeyAction::RecallHighlight, nullptr,  0, "recall the highlighted preset", "a row of the list"},
  {'a',       "a",         KeyAction::Command, "addpreset",      0, "add the station as a preset (type its name)", "+ Preset"},
  {'e',       "e",         KeyAction::Command, "editpreset",     0, "rename the highlighted preset", "More… Rename"},
  {'x',       "x, Delete", KeyAction::Command, "delpreset",      0, "delete the highlighted preset", "More… Delete"},
  {KEY_DC,    "Delete",    KeyAction::Command, "delpreset",      0, "", ""},
  {'K',       "K",         KeyAction::Command, "movepreset;up",  0, "move the highlighted preset up", "More… Move ▲"},
  {'J',       "J",         KeyAction::Command, "movepreset;down", 0, "move the highlighted preset down", "More… Move ▼"},
  {'s',       "s",         KeyAction::Command, "scan",           0, "scan: seek up every few seconds (again: stop)", "Scan"},
  {'f',       "f",         KeyAction::Command, "surf",           0, "surf through the presets (again: stop)", "Surf"},
  {'L',       "L",         KeyAction::Command, "searchpresets",  0, "learn presets: store every station of the band", "Learn"},
  {'m',       "m",         KeyAction::Command, "radiomute",      0, "mute on/off", "Mute"},
  {'o',       "o",         KeyAction::Command, "mono",           0, "forced mono on/off", "MONO"},
  {'b',       "b",         KeyAction::SwitchBand, nullptr,       0, "FM or AM: the last frequency of the other band", "FM/AM"},
  {'T',       "T",         KeyAction::Traffic, nullptr,          0, "traffic announcements on/off (TA): go to them, lift a mute", "TA"},
  {'>',       ">",         KeyAction::VolumeUp, nullptr,         0, "louder", "Vol +"},
  {'<',       "<",         KeyAction::VolumeDown, nullptr,       0, "quieter", "Vol −"},
  {'l',       "l",         KeyAction::Command, "local",          0, "switch between the main and the local preset list", "LOCAL"},
  {'S',       "S",         KeyAction::Command, "seekmode",       0, "seek mode: n/p seek the next station instead of stepping a channel", "SEEK"},
  {'P',       "P",         KeyAction::Command, "presetmode",     0, "preset mode: n/p step through presets", "PRESET"},
  {':',       ":",         KeyAction::CommandLine, nullptr,      0, "type any command string (e.g. rtune;101.5)", "More… Command"},
  {'?',       "?",         KeyAction::Help, nullptr,             0, "this help (Up/Down scroll it)", "More… Help"},
  {'q',       "q",         KeyAction::Quit, nullptr,             0, "quit (saves the presets)", "More… Quit"},
};
// clang-format on

}  // namespace

std::span<const KeyBinding> KeyBindings() { return kBindings; }

const KeyBinding* FindKeyBinding(int key) {
  if (std::find(std::begin(kEnterKeys), std::end(kEnterKeys), key) != std::end(kEnterKeys))
    key = '\n';
  for (const KeyBinding& binding : kBindings)
    if (binding.key == key) return &binding;
  return nullptr;
}

bool IsKeyboardCommand(const std::string& command) {
  std::string lower = command;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower == "tune" || lower == "preset" || lower == "addpreset" || lower == "editpreset";
}

std::string KeyHelpText() {
  std::string text;
  char line[160];
  for (const KeyBinding& binding : kBindings) {
    if (binding.help[0] == '\0') continue;
    // A tab marks where a wrapped line's continuation starts: under the description.
    std::snprintf(line, sizeof line, "  %-10s \t%s\n", binding.name, binding.help);
    text += line;
  }
  text +=
      "\n  In a prompt: Left/Right, Home/End move; Backspace/Delete erase;\n"
      "  Ctrl-U erases the whole line.\n"
      "  Enter confirms, Esc cancels. A frequency takes \".\" or \",\".\n";
  return text;
}

std::string KeyLine(int width) {
  // In the order shown; the priority says which stay when the line is narrow: quit and help
  // always.
  const std::vector<Field> hints = {
      {"Left/Right step", 4}, {"PgUp/PgDn seek", 2}, {"+/- 1 MHz", 7}, {"n/p next", 6},
      {"1-9 preset", 5},      {"t tune", 3},         {"? help", 1},    {"q quit", 0},
  };
  std::string line = " ";
  return line += LayFields(hints, width - 1, true);
}

}  // namespace host
