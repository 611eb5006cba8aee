// What the radio screen shows, asked from the plug-in the way a skin asks on every repaint
// (labels, indicators, the signal slider), and laid out as lines of text.
#ifndef HALVANE_HOST_RADIO_VIEW_H
#define HALVANE_HOST_RADIO_VIEW_H

#include <cstdint>
#include <string>
#include <vector>

#include "halvane/dm_radio.h"

namespace host {

struct RadioView {
  bool active = false;
  std::string band;        // "FM" / "AM"
  std::string frequency;   // "104.5", in the user's locale
  std::string unit;        // "MHz" / "KHz"
  int32_t signal = 0;      // 0 to 65535
  std::string signalText;  // "93%"
  bool stereo = false;
  std::string rdsName, rdsText, pty, ptyName, pi;
  bool tp = false, ta = false, ms = false;
  bool muted = false;
  std::string presetNumber, presetName;
  bool seekMode = false, presetMode = false, local = false;
  bool scan = false, surf = false, learning = false;
  std::string artwork;
};

// Asks the plug-in for everything the screen shows. Raises the first run-time error a query
// raises.
RadioView ReadRadioView(halvane::IDMRadio& radio);

struct ScreenLine {
  std::string text;       // UTF-8, at most `width` characters
  bool emphasis = false;  // the highlighted preset row, the title
};

struct ScreenState {
  RadioView view;
  std::vector<std::string> rows;  // the preset list as the plug-in filled it
  int32_t highlight = -1;         // the list's highlighted row
  std::string lastError;          // "13 Type mismatch", or ""
  int maxRows = 10;               // preset rows to show
};

// The radio screen as lines `width` characters wide (at least 40).
std::vector<ScreenLine> RenderRadioScreen(const ScreenState& state, int width);

// A text made fit for one screen line: control characters (the RDS record's NULs among them)
// become blanks; cut or padded with blanks to exactly `width` characters.
std::string FitText(const std::string& text, int width);

// The PI code's text (signed decimal) as four hexadecimal digits, "" when it is not a number.
std::string PiHex(const std::string& piText);

}  // namespace host

#endif
