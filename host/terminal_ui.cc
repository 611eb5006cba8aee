#include "terminal_ui.h"

#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#define NCURSES_WIDECHAR 1
#include <curses.h>

#include <clocale>
#include <csignal>
#include <iostream>
#include <optional>
#include <sstream>

#include "halvane/errors.h"
#include "key_bindings.h"
#include "keyboard_prompt.h"
#include "radio_view.h"

namespace host {
namespace {

constexpr guint kRedrawMs = 100;
constexpr wint_t kEscape = 27;

class TerminalRadio {
 public:
  explicit TerminalRadio(RadioHost& host) : host_(host) {}

  int Run();

 private:
  // Runs one plug-in call; a run-time error becomes the screen's last error.
  template <class Call>
  bool Guard(Call&& call) {
    try {
      call();
      return true;
    } catch (const halvane::RuntimeError& e) {
      lastError_ = std::to_string(e.number()) + " " + halvane::ErrorDescription(e.number());
      return false;
    } catch (const std::exception& e) {
      lastError_ = e.what();
      return false;
    }
  }

  void StartRadio();
  void StopRadio();
  void OnKey(wint_t key, bool isFunctionKey);
  void OnPromptKey(wint_t key, bool isFunctionKey);
  void RunCommand(const std::string& command, const std::shared_ptr<ScreenObject>& screen);
  void Recall(int32_t preset);
  void RefreshList();
  void ConfirmPrompt();
  void CancelPrompt();
  void Draw();
  void DrawOverlay(const std::string& title, const std::string& body);
  void Quit() { g_main_loop_quit(loop_); }

  static gboolean OnInput(gint, GIOCondition, gpointer self);
  static gboolean OnRedraw(gpointer self);
  static gboolean OnSignal(gpointer self);

  RadioHost& host_;
  GMainLoop* loop_ = nullptr;
  std::string lastError_;
  std::optional<KeyboardPrompt> prompt_;
  std::optional<std::string> errorScreen_;  // an Errscrn call waiting to be dismissed
  bool helpShown_ = false;
};

int TerminalRadio::Run() {
  host_.sdk().onErrorScreen = [this](const ErrorScreen& args) {
    std::string text;
    for (size_t i = 0; i < args.size() && i < 3; ++i) {
      std::string part = args[i].ToString();
      for (char& c : part)
        if (c == '\r') c = ' ';
      text += (i == 0 ? "" : i == 1 ? ": " : "\n") + part;
    }
    errorScreen_ = text;
  };
  try {
    host_.Create();
  } catch (const halvane::RuntimeError& e) {
    std::cerr << "halvane-host: can't create the radio: " << e.what() << "\n";
    return 1;
  }

  std::setlocale(LC_CTYPE, "");  // wide characters on the terminal; numbers stay "C"
  initscr();
  cbreak();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);
  set_escdelay(25);
  curs_set(0);

  StartRadio();

  loop_ = g_main_loop_new(nullptr, FALSE);
  guint input = g_unix_fd_add(STDIN_FILENO, G_IO_IN, &TerminalRadio::OnInput, this);
  guint redraw = g_timeout_add(kRedrawMs, &TerminalRadio::OnRedraw, this);
  guint signals[] = {g_unix_signal_add(SIGINT, &TerminalRadio::OnSignal, this),
                     g_unix_signal_add(SIGTERM, &TerminalRadio::OnSignal, this),
                     g_unix_signal_add(SIGHUP, &TerminalRadio::OnSignal, this)};
  Draw();
  g_main_loop_run(loop_);
  g_source_remove(input);
  g_source_remove(redraw);
  for (guint s : signals) g_source_remove(s);
  g_main_loop_unref(loop_);

  StopRadio();
  endwin();
  host_.sdk().onErrorScreen = nullptr;
  host_.Destroy();
  if (!lastError_.empty()) std::cerr << "halvane-host: last error " << lastError_ << "\n";
  return 0;
}

void TerminalRadio::StartRadio() {
  halvane::IDMRadio& radio = host_.Radio();
  Guard([&] { radio.StartRadio(); });
  // Check shows the host's error screen when the tuner did not come up.
  Guard([&] { radio.Check(); });
  bool on = true;
  Guard([&] { radio.SetActive(on); });
  RefreshList();
}

void TerminalRadio::StopRadio() {
  halvane::IDMRadio& radio = host_.Radio();
  bool off = false;
  Guard([&] { radio.SetActive(off); });  // saves the preset list
  Guard([&] { radio.StopRadio(); });
}

void TerminalRadio::RefreshList() {
  std::shared_ptr<halvane::Dispatch> frm = host_.radioScreen;
  Guard([&] { host_.Radio().Refresh(frm); });
}

void TerminalRadio::RunCommand(const std::string& command,
                               const std::shared_ptr<ScreenObject>& screen) {
  std::string cmd = command;
  std::shared_ptr<halvane::Dispatch> frm = screen;
  int16_t result = -1;
  if (!Guard([&] { result = host_.Radio().ProcessCommand(cmd, frm); })) return;
  // 0 for a keyboard word: the host goes on by showing its on-screen keyboard.
  if (result == 0 && IsKeyboardCommand(command)) prompt_.emplace(command);
}

void TerminalRadio::Recall(int32_t preset) {
  if (preset < 1 || preset > INT16_MAX) return;
  int16_t n = static_cast<int16_t>(preset);
  if (Guard([&] { host_.Radio().PresetRecall(n); })) RefreshList();
}

void TerminalRadio::ConfirmPrompt() {
  KeyboardPrompt prompt = std::move(*prompt_);
  prompt_.reset();
  if (prompt.IsCommandLine()) {
    if (!prompt.text().empty()) RunCommand(prompt.text(), host_.radioScreen);
    return;
  }
  host_.keyboardScreen->txt[0]->text = prompt.text();
  RunCommand("enter", host_.keyboardScreen);
  // Back on the radio screen: its list shows what the keyboard dialogue changed.
  RefreshList();
}

void TerminalRadio::CancelPrompt() {
  bool keyboard = !prompt_->IsCommandLine();
  prompt_.reset();
  // "enter" from a screen other than the keyboard drops the plug-in's pending keyboard command.
  if (keyboard) RunCommand("enter", host_.plainScreen);
}

void TerminalRadio::OnPromptKey(wint_t key, bool isFunctionKey) {
  if (isFunctionKey) {
    if (key == KEY_ENTER) ConfirmPrompt();
    if (key == KEY_BACKSPACE) prompt_->Backspace();
    return;
  }
  if (key == '\n' || key == '\r') {
    ConfirmPrompt();
  } else if (key == kEscape) {
    CancelPrompt();
  } else if (key == 127 || key == 8) {
    prompt_->Backspace();
  } else {
    prompt_->Insert(static_cast<char32_t>(key));
  }
}

void TerminalRadio::OnKey(wint_t key, bool isFunctionKey) {
  if (isFunctionKey && key == KEY_RESIZE) return;
  if (errorScreen_) {
    errorScreen_.reset();
    return;
  }
  if (helpShown_) {
    helpShown_ = false;
    return;
  }
  if (prompt_) {
    OnPromptKey(key, isFunctionKey);
    return;
  }
  // Plain characters and curses key codes share one table; characters are below KEY_MIN.
  if (!isFunctionKey && key >= KEY_MIN) return;
  const KeyBinding* binding = FindKeyBinding(static_cast<int>(key));
  if (binding == nullptr) return;
  ListControl& list = *host_.radioScreen->list;
  const int32_t rows = static_cast<int32_t>(list.rows.size());
  switch (binding->action) {
    case KeyAction::Command:
      RunCommand(binding->command, host_.radioScreen);
      break;
    case KeyAction::RecallPreset:
      Recall(binding->preset);
      break;
    case KeyAction::HighlightUp:
    case KeyAction::HighlightDown: {
      if (rows == 0) break;
      int32_t row = list.value < 0 ? 0 : list.value;
      row += binding->action == KeyAction::HighlightUp ? -1 : 1;
      row = std::clamp(row, 0, rows - 1);
      // The user's choice: the list's Value and the screen's PLValue, as a click would set them.
      list.value = row;
      host_.radioScreen->plValue = row;
      break;
    }
    case KeyAction::RecallHighlight:
      if (list.value >= 0 && list.value < rows) Recall(list.value + 1);
      break;
    case KeyAction::CommandLine:
      prompt_.emplace("");
      break;
    case KeyAction::Help:
      helpShown_ = true;
      break;
    case KeyAction::Quit:
      Quit();
      break;
  }
}

void TerminalRadio::DrawOverlay(const std::string& title, const std::string& body) {
  std::vector<std::string> text;
  std::istringstream in(body);
  for (std::string line; std::getline(in, line);) text.push_back(line);
  const int width = std::min(COLS - 2, 98);
  const int room = LINES - 6;  // rows inside the frame, below the title and above "(any key)"
  if (width < 20 || room < 1) return;
  // Two columns when one does not fit the terminal's height.
  const int columns = static_cast<int>(text.size()) > room ? 2 : 1;
  const int perColumn = (static_cast<int>(text.size()) + columns - 1) / columns;
  const int shown = std::min(perColumn, room);
  const int columnWidth = (width - 4) / columns;
  const int height = shown + 4;
  const int top = std::max(0, (LINES - height) / 2), left = std::max(0, (COLS - width) / 2);
  auto row = [&](int y, const std::string& content) {
    mvaddstr(y, left, ("| " + FitText(content, width - 4) + " |").c_str());
  };
  const std::string rule = "+" + std::string(static_cast<size_t>(width - 2), '-') + "+";
  attron(A_BOLD);
  mvaddstr(top, left, rule.c_str());
  row(top + 1, title);
  attroff(A_BOLD);
  for (int i = 0; i < shown; ++i) {
    std::string line;
    for (int c = 0; c < columns; ++c) {
      size_t k = static_cast<size_t>(c * perColumn + i);
      if (k < text.size() && i < perColumn) line += FitText(text[k], columnWidth);
    }
    row(top + 2 + i, line);
  }
  row(top + height - 2, "(any key)");
  mvaddstr(top + height - 1, left, rule.c_str());
}

void TerminalRadio::Draw() {
  ScreenState state;
  Guard([&] { state.view = ReadRadioView(host_.Radio()); });
  state.rows = host_.radioScreen->list->rows;
  state.highlight = host_.radioScreen->list->value;
  state.lastError = lastError_;
  state.maxRows = std::max(1, LINES - 14);

  erase();
  int y = 0;
  for (const ScreenLine& line : RenderRadioScreen(state, std::min(COLS, 100))) {
    if (y >= LINES - 2) break;
    if (line.emphasis) attron(A_REVERSE);
    mvaddstr(y++, 0, FitText(line.text, COLS).c_str());
    if (line.emphasis) attroff(A_REVERSE);
  }
  std::string bottom;
  if (prompt_) {
    bottom = " " + prompt_->Title() + ": " + prompt_->text() + "_   (Enter confirm, Esc cancel)";
  } else {
    bottom =
        " Left/Right fine  PgUp/PgDn seek  +/- MHz  n/p next  1-9 preset  t tune  ? help  q quit";
  }
  mvaddstr(LINES - 1, 0, FitText(bottom, COLS).c_str());
  if (helpShown_) DrawOverlay("Keys", KeyHelpText());
  if (errorScreen_) DrawOverlay("Error", *errorScreen_);
  refresh();
}

gboolean TerminalRadio::OnInput(gint, GIOCondition, gpointer self) {
  auto* ui = static_cast<TerminalRadio*>(self);
  wint_t key = 0;
  for (int kind; (kind = get_wch(&key)) != ERR;) ui->OnKey(key, kind == KEY_CODE_YES);
  ui->Draw();
  return G_SOURCE_CONTINUE;
}

gboolean TerminalRadio::OnRedraw(gpointer self) {
  auto* ui = static_cast<TerminalRadio*>(self);
  // A resize arrives as a key without input on standard input.
  wint_t key = 0;
  for (int kind; (kind = get_wch(&key)) != ERR;) ui->OnKey(key, kind == KEY_CODE_YES);
  ui->Draw();
  return G_SOURCE_CONTINUE;
}

gboolean TerminalRadio::OnSignal(gpointer self) {
  static_cast<TerminalRadio*>(self)->Quit();
  return G_SOURCE_CONTINUE;
}

}  // namespace

int RunTerminalRadio(RadioHost& host) { return TerminalRadio(host).Run(); }

}  // namespace host
