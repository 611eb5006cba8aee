// The radio's keys: what each key of the terminal does. The table is data; the terminal screen
// looks keys up here and the help screen and README list it.
#ifndef HALVANE_HOST_KEY_BINDINGS_H
#define HALVANE_HOST_KEY_BINDINGS_H

#include <cstdint>
#include <span>
#include <string>

namespace host {

enum class KeyAction {
  Command,       // ProcessCommand with `command` on the radio screen
  RecallPreset,  // PresetRecall with `preset`
  HighlightUp,   // move the preset list's highlight
  HighlightDown,
  RecallHighlight,  // PresetRecall with the highlighted row's preset
  VolumeUp,         // the tuner's volume, by kVolumeStep
  VolumeDown,
  SwitchBand,   // FM to AM and back, to the last frequency of the other band
  Traffic,      // traffic announcements on or off
  CommandLine,  // type any command string
  Help,
  Quit,
};

struct KeyBinding {
  int key;           // a character, or a curses KEY_ code
  const char* name;  // how the help shows the key
  KeyAction action;
  const char* command;  // for Command
  int16_t preset;       // for RecallPreset
  const char* help;     // what it does; empty for keys that share the line of the one before
  const char* tap;      // the button of the graphical radio that does it
};

inline constexpr int kVolumeStep = 5;  // percent

std::span<const KeyBinding> KeyBindings();

// The binding of a key, or null.
const KeyBinding* FindKeyBinding(int key);

// The four commands after which the host shows its on-screen keyboard (when the plug-in answers
// 0) and confirms the typed text with "enter" from the keyboard screen.
bool IsKeyboardCommand(const std::string& command);

// The help screen: one line per key, then the prompt's editing keys. A tab in a line marks the
// column its continuation lines start at when it wraps; it shows as nothing.
std::string KeyHelpText();

// The bottom line's reminder of the main keys in `width` characters; "q quit" and "? help"
// always among them.
std::string KeyLine(int width);

}  // namespace host

#endif
