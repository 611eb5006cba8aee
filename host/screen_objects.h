// The host's screen objects the plug-in is handed as `frm`: the radio screen with its preset list
// control, the on-screen keyboard screen with its text box, and a plain screen.
#ifndef HALVANE_HOST_SCREEN_OBJECTS_H
#define HALVANE_HOST_SCREEN_OBJECTS_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "halvane/dispatch.h"

namespace host {

// The preset list: rows the plug-in adds, and the highlighted row (0-based; below 0 for none).
// The highlighted row is the one the user chose: the screen's PLValue answers it too, so what
// the plug-in reads and what the user sees are one and the same.
class ListControl : public halvane::MemberTable {
 public:
  ListControl();
  std::vector<std::string> rows;
  int32_t value = -1;
  // Counts the changes to `rows` (Clear, AddItem), so a face copies them only after a change.
  uint64_t generation = 0;
};

// A text box: its Text, which is also its default value.
class TextBox : public halvane::MemberTable {
 public:
  TextBox();
  std::string text;
};

class ScreenObject : public halvane::MemberTable {
 public:
  ScreenObject(std::string tagText, bool shows);
  std::string tag;
  bool showPL;
  std::shared_ptr<ListControl> list = std::make_shared<ListControl>();
  int32_t& plValue = list->value;  // the row the user chose: the list's own Value
  std::vector<std::shared_ptr<TextBox>> txt{std::make_shared<TextBox>()};
};

// The three screens of the host.
std::shared_ptr<ScreenObject> MakeRadioScreen();     // "radio_player.skin", shows the list
std::shared_ptr<ScreenObject> MakeKeyboardScreen();  // "osk.skin"
std::shared_ptr<ScreenObject> MakePlainScreen();     // "main.skin"

}  // namespace host

#endif
