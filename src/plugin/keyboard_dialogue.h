// The two-step dialogue with the host's on-screen keyboard: a keyboard word records what the
// typed text is for, and "enter" from the keyboard screen acts on it.
#ifndef HALVANE_PLUGIN_KEYBOARD_DIALOGUE_H
#define HALVANE_PLUGIN_KEYBOARD_DIALOGUE_H

#include <cstdint>
#include <string>
#include <string_view>

#include "context/host_contract.h"

namespace halvane {

class Component;

// Skin tags: the on-screen keyboard's screen, and the radio screen with the preset list.
inline constexpr std::string_view kKeyboardSkinTag = "osk.skin";
inline constexpr std::string_view kRadioScreenTag = "radio_player";

class KeyboardDialogue {
 public:
  // The pending command, lower-cased ("" when none), and the preset-list row recorded with it
  // (-1 when none; 0 before the first keyboard word).
  const std::string& oskCommand() const { return oskCommand_; }
  int16_t oskPresetRow() const { return oskPresetRow_; }

  // "tune", "preset", "addpreset", "editpreset": records the whole command (lower-cased) and, on
  // the radio screen, the highlighted preset-list row (-1 elsewhere).
  void Request(Component& c, std::string_view command, const ObjectRef& frm);
  // "enter": on the keyboard screen, acts on the recorded command with the typed text; from any
  // screen, then clears the record. A failing action leaves the record for another try.
  void Confirm(Component& c, const ObjectRef& frm);

 private:
  void ActOnTypedText(Component& c, const ObjectRef& frm);

  std::string oskCommand_;
  int16_t oskPresetRow_ = 0;
};

}  // namespace halvane

#endif
