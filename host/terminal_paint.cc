#include "terminal_paint.h"

#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#define NCURSES_WIDECHAR 1
#include <curses.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace host {
namespace {

enum Pair : short { kTitlePair = 1, kHighlightPair, kErrorPair, kNoticePair, kAlertPair };

bool NoColourAsked() {
  const char* no = std::getenv("NO_COLOR");
  return no != nullptr && *no != '\0';
}

}  // namespace

void TerminalPaint::Begin() {
  ascii_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0;
  initscr();
  cbreak();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);
  set_escdelay(25);
  curs_set(0);
  colour_ = has_colors() && !NoColourAsked();
  if (colour_) {
    start_color();
    use_default_colors();
    init_pair(kTitlePair, COLOR_CYAN, -1);
    init_pair(kHighlightPair, COLOR_BLACK, COLOR_CYAN);
    init_pair(kErrorPair, COLOR_RED, -1);
    init_pair(kNoticePair, COLOR_YELLOW, -1);
    init_pair(kAlertPair, COLOR_WHITE, COLOR_RED);
  }
}

void TerminalPaint::End() { endwin(); }

int TerminalPaint::lines() const { return LINES; }
int TerminalPaint::columns() const { return COLS; }

void TerminalPaint::Resize() {
  struct winsize size {};
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
    resizeterm(size.ws_row, size.ws_col);
}

void TerminalPaint::Style(LineStyle style, bool on) {
  attr_t attrs = A_NORMAL;
  short pair = 0;
  switch (style) {
    case LineStyle::kPlain:
      return;
    case LineStyle::kTitle:
      attrs = A_BOLD, pair = kTitlePair;
      break;
    case LineStyle::kHighlight:
      attrs = colour_ ? A_NORMAL : A_REVERSE, pair = kHighlightPair;
      break;
    case LineStyle::kError:
      attrs = A_BOLD, pair = kErrorPair;
      break;
    case LineStyle::kNotice:
      pair = kNoticePair;
      break;
    case LineStyle::kAlert:
      attrs = colour_ ? A_BOLD : A_BOLD | A_REVERSE, pair = kAlertPair;
      break;
  }
  if (colour_) attrs |= COLOR_PAIR(pair);
  if (on) {
    attron(attrs);
  } else {
    attroff(attrs);
  }
}

void TerminalPaint::Clear() {
  erase();
  cursor_ = -1;
}

void TerminalPaint::Lines(const std::vector<ScreenLine>& lines) {
  for (size_t y = 0; y < lines.size(); ++y) Line(static_cast<int>(y), lines[y]);
}

void TerminalPaint::Line(int y, const ScreenLine& line) {
  if (y >= LINES - 1) return;
  Style(line.style, true);
  mvaddstr(y, 0, FitText(line.text, COLS).c_str());
  Style(line.style, false);
}

void TerminalPaint::Bottom(const std::string& text, int cursor) {
  mvaddstr(LINES - 1, 0, FitText(ascii_ ? ToAscii(text) : text, COLS).c_str());
  cursor_ = cursor < COLS ? cursor : COLS - 1;
}

int TerminalPaint::Overlay(const std::string& title, const std::string& body, int scroll,
                           const std::string& footer) {
  const int width = std::min(COLS, 98);
  std::vector<std::string> text;
  std::istringstream in(ascii_ ? ToAscii(body) : body);
  for (std::string line; std::getline(in, line);) {
    // Long lines (a driver's reason with its file's path) wrap at blanks where they can; a tab
    // says where the continuation lines start.
    const size_t tab = line.find('\t');
    size_t hang = 0;
    if (tab != std::string::npos) {
      line.erase(tab, 1);
      hang = Characters(line.substr(0, tab)).size();
    }
    std::vector<std::string> chars = Characters(line);
    const size_t room = static_cast<size_t>(std::max(width - 4, 1));
    if (hang > room / 2) hang = 0;
    while (chars.size() > room) {
      size_t cut = room;
      for (size_t i = room; i > room / 2; --i)
        if (chars[i] == " ") {
          cut = i;
          break;
        }
      std::string head;
      for (size_t i = 0; i < cut; ++i) head += chars[i];
      text.push_back(head);
      chars.erase(chars.begin(), chars.begin() + static_cast<std::ptrdiff_t>(cut));
      while (!chars.empty() && chars.front() == " ") chars.erase(chars.begin());
      chars.insert(chars.begin(), hang, std::string(" "));
    }
    std::string rest;
    for (const std::string& c : chars) rest += c;
    text.push_back(rest);
  }
  const int room = LINES - 4;  // inside the frame, below the title and above the footer
  if (width < 12 || room < 1) return 0;
  const int count = static_cast<int>(text.size());
  const int maxScroll = std::max(0, count - room);
  scroll = std::clamp(scroll, 0, maxScroll);
  const int shown = std::min(count, room);
  const int height = shown + 4;
  const int top = std::max(0, (LINES - height) / 2), left = std::max(0, (COLS - width) / 2);
  auto row = [&](int y, const std::string& content) {
    const std::string fitted = FitText(Ellipsize(content, width - 4, ascii_), width - 4);
    mvaddstr(y, left, ("| " + fitted + " |").c_str());
  };
  std::string rule(static_cast<size_t>(width), '-');
  rule.front() = rule.back() = '+';
  // The box's rows are blank from edge to edge, so nothing of the screen shows beside it.
  for (int y = top; y < top + height && y < LINES; ++y) {
    move(y, 0);
    clrtoeol();
  }
  Style(LineStyle::kTitle, true);
  mvaddstr(top, left, rule.c_str());
  row(top + 1, ascii_ ? ToAscii(title) : title);
  Style(LineStyle::kTitle, false);
  for (int i = 0; i < shown; ++i)
    row(top + 2 + i, text[static_cast<size_t>(scroll) + static_cast<size_t>(i)]);
  std::string more = maxScroll > 0 ? "lines " + std::to_string(scroll + 1) + "-" +
                                         std::to_string(scroll + shown) + " of " +
                                         std::to_string(count) + "  "
                                   : "";
  row(top + height - 2, more + footer);
  mvaddstr(top + height - 1, left, rule.c_str());
  return maxScroll;
}

void TerminalPaint::Show() {
  if (cursor_ >= 0) {
    curs_set(1);
    move(LINES - 1, cursor_);
  } else {
    curs_set(0);
  }
  refresh();
}

}  // namespace host
