// The curses side of the terminal radio: colours (or their monochrome stand-ins, and none at all
// under NO_COLOR), the screen's lines, the bottom line with the prompt's cursor, and the boxes
// drawn over the screen (help, device error).
#ifndef HALVANE_HOST_TERMINAL_PAINT_H
#define HALVANE_HOST_TERMINAL_PAINT_H

#include <string>
#include <vector>

#include "radio_view.h"

namespace host {

class TerminalPaint {
 public:
  // Takes the terminal: after setlocale(LC_CTYPE, ""), so wide characters draw.
  void Begin();
  void End();
  // The locale's character set is not UTF-8: everything is drawn in ASCII.
  bool ascii() const { return ascii_; }
  int lines() const;
  int columns() const;
  // Follows the terminal's new size after SIGWINCH.
  void Resize();

  void Clear();
  void Lines(const std::vector<ScreenLine>& lines);
  // Line `y` alone, over what it showed.
  void Line(int y, const ScreenLine& line);
  // The last line; with `cursor` at or above 0 the terminal's cursor shows in that column.
  void Bottom(const std::string& text, int cursor = -1);
  // A framed box in the middle of the screen, its body from line `scroll` on; returns the
  // largest useful `scroll`.
  int Overlay(const std::string& title, const std::string& body, int scroll,
              const std::string& footer);
  void Show();

 private:
  void Style(LineStyle style, bool on);

  bool ascii_ = false;
  bool colour_ = false;
  int cursor_ = -1;
};

}  // namespace host

#endif
