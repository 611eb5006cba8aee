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
class ListControl : public halvane::MemberTable {
 public:
  ListControl();
  std::vector<std::string> rows;
  int32_t value = -1;
};

// A text box: its Text, which is also its default value.
class TextBox : public halvane::MemberTable {
 public:
  TextBox();
  std::string text;
};

class ScreenObject : public halvane::MemberTable {
 public:
  ScreenObject(std::string tag, bool showPL);
  std::string tag;
  bool showPL;
  int32_t plValue = -1;  // the row the user chose in the list
  std::shared_ptr<ListControl> list = std::make_shared<ListControl>();
  std::vector<std::shared_ptr<TextBox>> txt{std::make_shared<TextBox>()};
};

// The three screens of the host.
std::shared_ptr<ScreenObject> MakeRadioScreen();     // "radio_player.skin", shows the list
std::shared_ptr<ScreenObject> MakeKeyboardScreen();  // "osk.skin"
std::shared_ptr<ScreenObject> MakePlainScreen();     // "main.skin"

}  // namespace host

#endif
