// What the radio screen shows, asked from the plug-in the way a skin asks on every repaint
// (labels, indicators, the signal slider), and laid out as lines of text for any terminal size.
#ifndef HALVANE_HOST_RADIO_VIEW_H
#define HALVANE_HOST_RADIO_VIEW_H

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "driver_reception.h"
#include "halvane/dm_radio.h"
#include "screen_text.h"

namespace host {

struct RadioView {
  bool active = false;
  std::string band;        // "FM" / "AM"
  std::string frequency;   // "104.5", in the user's locale
  std::string unit;        // "MHz" / "kHz"
  int32_t signal = 0;      // 0 to 65535
  std::string signalText;  // "93%"
  bool stereo = false;
  bool forcedMono = false;
  std::string rdsName, rdsText, pty, ptyName, pi;
  bool tp = false, ta = false, ms = false;
  // Beyond the record, when the driver reports it: the song (RadioText+), the programme type
  // name, the station's clock, its alternative frequencies, and a traffic announcement now (its
  // own or a linked programme's).
  std::string songArtist, songTitle, ptyn, clock, af;
  bool traffic = false;
  bool muted = false;
  std::string presetNumber, presetName;
  bool seekMode = false, presetMode = false, local = false;
  bool scan = false, surf = false, learning = false;
  std::string artwork;
  // What the driver tells of the reception (the quality beside the level, the blend), when it
  // does: read by the face beside the plug-in's answers.
  DriverReception reception;

  bool operator==(const RadioView&) const = default;
};

// Asks the plug-in for everything the screen shows; the artwork only `withArtwork` (a face that
// can't show pictures spares the plug-in its file tests). Raises the first run-time error a
// query raises.
RadioView ReadRadioView(halvane::IDMRadio& radio, bool withArtwork = true);

enum class LineStyle { kPlain, kTitle, kHighlight, kError, kNotice, kAlert };

struct ScreenLine {
  std::string text;  // UTF-8 (ASCII when the state asks), exactly `width` characters
  LineStyle style = LineStyle::kPlain;

  bool operator==(const ScreenLine&) const = default;
};

struct ScreenState {
  RadioView view;
  std::span<const std::string> rows;  // the preset list as the plug-in filled it
  int32_t highlight = -1;             // the list's highlighted row
  std::string message;                // what the last action came to, or ""
  bool messageIsError = false;
  std::string tunerProblem;  // a tuner that does not work, in words: shown for the station
  int32_t volume = -1;       // percent; below 0 for a tuner without volume control
  bool ascii = false;        // the terminal can't show UTF-8: spell everything in ASCII
};

// The radio screen in `height` lines (or fewer) of `width` characters, the message line last.
// What does not fit gives way in a fixed order: on a line, the less important fields; of the
// station's box, the modes, then programme type, then RadioText; the preset list keeps two rows
// at least and the highlighted row in view.
std::vector<ScreenLine> RenderRadioScreen(const ScreenState& state, int width, int height);

// The PI code's text (signed decimal) as four hexadecimal digits, "" when it is not a number.
std::string PiHex(const std::string& piText);

}  // namespace host

#endif
