#include "terminal_ui.h"

#include <glib-unix.h>
#include <glib.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#define NCURSES_WIDECHAR 1
#include <curses.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <csignal>
#include <iostream>
#include <optional>

#include "driver_reason.h"
#include "driver_reception.h"
#include "error_words.h"
#include "halvane/errors.h"
#include "key_bindings.h"
#include "keyboard_prompt.h"
#include "mpris.h"
#include "radio_session.h"
#include "radio_view.h"
#include "terminal_paint.h"

namespace host {
namespace {

constexpr wint_t kEscape = 27;
constexpr gint64 kRestingReadUs = 190'000;  // a little under two status ticks

class TerminalRadio {
 public:
  explicit TerminalRadio(RadioHost& host) : host_(host), session_(host) {}

  int Run();

 private:
  void OnKey(wint_t key, bool isFunctionKey);
  void OnPromptKey(KeyboardPrompt& prompt, wint_t key, bool isFunctionKey);
  void OnQuestionKey(wint_t key);
  void OnOverlayKey(wint_t key, bool isFunctionKey);
  void OnBinding(const KeyBinding& binding);
  void ReadKeys();
  void Update();
  void Paint(bool forced);

  static gboolean OnInput(gint, GIOCondition, gpointer self);
  static gboolean OnSignal(gpointer self);
  static gboolean OnResize(gpointer self);

  RadioHost& host_;
  RadioSession session_;
  TerminalPaint paint_;
  bool quit_ = false;
  bool dirty_ = true;  // something shown changed besides the plug-in's answers
  uint64_t sessionChanges_ = ~uint64_t{0};
  bool helpShown_ = false;
  int overlayScroll_ = 0, overlayMaxScroll_ = 0;  // how far the box on top is scrolled
  // What was painted last, so an idle radio paints nothing.
  RadioView view_;
  std::vector<std::string> rows_;
  uint64_t rowsGeneration_ = ~uint64_t{0};
  int32_t paintedHighlight_ = -2;
  int paintedLines_ = 0, paintedColumns_ = 0;
  std::vector<ScreenLine> paintedScreen_;
  gint64 lastRead_ = 0;     // when the plug-in was last asked for the screen, monotonic µs
  Mpris* mpris_ = nullptr;  // the desktop's media interface, for the radio's lifetime
};

int TerminalRadio::Run() {
  if (std::string error; !session_.Create(error)) {
    std::cerr << "halvane-host: " << error << "\n";
    return 1;
  }

  Mpris mpris(host_, g_main_context_default(), "halvane-host", std::cerr);
  mpris_ = &mpris;
  mpris.onCommand = [this](const std::string& command) { session_.Heard(command); };
  mpris.onAction = [this] { dirty_ = true; };  // drawn at once, a volume set there too

  std::setlocale(LC_CTYPE, "");  // wide characters on the terminal; numbers stay "C"
  paint_.Begin();
  session_.Start();

  guint input = g_unix_fd_add(STDIN_FILENO, G_IO_IN, &TerminalRadio::OnInput, this);
  guint signals[] = {g_unix_signal_add(SIGINT, &TerminalRadio::OnSignal, this),
                     g_unix_signal_add(SIGTERM, &TerminalRadio::OnSignal, this),
                     g_unix_signal_add(SIGHUP, &TerminalRadio::OnSignal, this),
                     g_unix_signal_add(SIGWINCH, &TerminalRadio::OnResize, this)};
  // No timer of its own: the screen is looked at after whatever woke the loop (the plug-in's
  // status tick, a key, a signal), and painted only when something shown changed.
  GMainContext* context = g_main_context_default();
  Update();
  while (!quit_) {
    g_main_context_iteration(context, TRUE);
    Update();
  }
  g_source_remove(input);
  for (guint s : signals) g_source_remove(s);

  session_.Stop();
  paint_.End();
  host_.Destroy();
  if (!session_.message().empty() && session_.messageIsError())
    std::cerr << "halvane-host: last error: " << session_.message() << "\n";
  return 0;
}

void TerminalRadio::OnPromptKey(KeyboardPrompt& p, wint_t key, bool isFunctionKey) {
  if (isFunctionKey) {
    switch (key) {
      case KEY_ENTER:
        return session_.ConfirmPrompt();
      case KEY_BACKSPACE:
        return p.Backspace();
      case KEY_DC:
        return p.Delete();
      case KEY_LEFT:
        return p.Left();
      case KEY_RIGHT:
        return p.Right();
      case KEY_HOME:
        return p.Home();
      case KEY_END:
        return p.End();
      default:
        return;
    }
  }
  switch (key) {
    case '\n':
    case '\r':
      return session_.ConfirmPrompt();
    case kEscape:
      return session_.CancelPrompt();
    case 127:
    case 8:
      return p.Backspace();
    case 1:  // Ctrl-A, Ctrl-E: as in a shell
      return p.Home();
    case 5:
      return p.End();
    case 21:  // Ctrl-U: the whole line goes
      return p.SetText("");
    default:
      return p.Insert(static_cast<char32_t>(key));
  }
}

// The box shown over the screen (the error dialog before the help) scrolls with Up/Down and
// PgUp/PgDn; any other key closes it.
void TerminalRadio::OnOverlayKey(wint_t key, bool isFunctionKey) {
  if (isFunctionKey && (key == KEY_UP || key == KEY_DOWN || key == KEY_PPAGE || key == KEY_NPAGE)) {
    const int page = std::max(1, paint_.lines() - 6);
    overlayScroll_ += key == KEY_UP ? -1 : key == KEY_DOWN ? 1 : key == KEY_PPAGE ? -page : page;
    overlayScroll_ = std::clamp(overlayScroll_, 0, overlayMaxScroll_);
    return;
  }
  overlayScroll_ = 0;
  if (session_.errorScreen()) {
    session_.DismissErrorScreen();
  } else {
    helpShown_ = false;
  }
}

// A question waits for y or n (Enter and Esc answer too); other keys are ignored.
void TerminalRadio::OnQuestionKey(wint_t key) {
  if (key == 'y' || key == 'Y' || key == '\n' || key == '\r' || key == KEY_ENTER)
    session_.Answer(true);
  else if (key == 'n' || key == 'N' || key == kEscape)
    session_.Answer(false);
}

void TerminalRadio::OnKey(wint_t key, bool isFunctionKey) {
  dirty_ = true;
  if (session_.errorScreen() || helpShown_) return OnOverlayKey(key, isFunctionKey);
  if (KeyboardPrompt* prompt = session_.prompt()) return OnPromptKey(*prompt, key, isFunctionKey);
  if (session_.question()) return OnQuestionKey(key);
  // Plain characters and curses key codes share one table; characters are below KEY_MIN.
  if (!isFunctionKey && key >= KEY_MIN) return;
  const KeyBinding* binding = FindKeyBinding(static_cast<int>(key));
  if (binding != nullptr) OnBinding(*binding);
}

void TerminalRadio::OnBinding(const KeyBinding& binding) {
  if (session_.Act(binding)) return;
  if (binding.action == KeyAction::Help) {
    helpShown_ = true;
    overlayScroll_ = 0;
  } else if (binding.action == KeyAction::Quit) {
    quit_ = true;
  }
}

void TerminalRadio::ReadKeys() {
  wint_t key = 0;
  for (int kind; (kind = get_wch(&key)) != ERR;) OnKey(key, kind == KEY_CODE_YES);
}

void TerminalRadio::Update() {
  // At rest the radio is looked at five times a second (every other status tick), which halves
  // what looking costs: the session's following (a search step's preset, traffic, a notice),
  // the desktop's media state and the screen; the traffic check alone asks the driver for its
  // whole RDS report. After a key, a resize, a call from the desktop or a change of the list,
  // at once.
  const gint64 now = g_get_monotonic_time();
  const ListControl& list = *host_.radioScreen->list;
  if (!dirty_ && list.generation == rowsGeneration_ && now - lastRead_ < kRestingReadUs) return;
  lastRead_ = now;
  session_.Follow();
  if (mpris_ != nullptr) mpris_->Refresh();
  if (session_.changes() != sessionChanges_) {
    sessionChanges_ = session_.changes();
    dirty_ = true;
  }
  RadioView view;
  try {
    view = ReadRadioView(host_.Radio(), false);
    view.reception = ReadDriverReception(host_.DriverPath());
  } catch (const halvane::RuntimeError& e) {
    view = view_;
    if (!session_.messageIsError())
      session_.Say(ErrorMessage(e.number(), "Can't show the station"), true);
  }
  const bool rowsChanged = list.generation != rowsGeneration_;
  if (!dirty_ && !rowsChanged && view == view_ && list.value == paintedHighlight_ &&
      paint_.lines() == paintedLines_ && paint_.columns() == paintedColumns_)
    return;
  if (rowsChanged) {
    rows_ = list.rows;
    rowsGeneration_ = list.generation;
  }
  view_ = std::move(view);
  paintedHighlight_ = list.value;
  paintedLines_ = paint_.lines();
  paintedColumns_ = paint_.columns();
  const bool forced = dirty_ || rowsChanged;
  dirty_ = false;
  Paint(forced);
}

void TerminalRadio::Paint(bool forced) {
  ScreenState state;
  state.view = view_;
  state.rows = rows_;
  state.highlight = paintedHighlight_;
  state.message = session_.message();
  state.messageIsError = session_.messageIsError();
  state.tunerProblem = session_.tunerProblem();
  state.volume = session_.volume().value_or(-1);
  state.ascii = paint_.ascii();
  std::vector<ScreenLine> lines = RenderRadioScreen(state, paint_.columns(), paint_.lines() - 1);
  // The plug-in's answers change more often than what they look like (the signal within one
  // step of the bar, RDS fields the screen does not show): the terminal is left alone then.
  if (!forced && lines == paintedScreen_) return;
  if (!forced && !session_.errorScreen() && !helpShown_ && lines.size() == paintedScreen_.size()) {
    // A new RadioText character, a step of the signal: only the lines that changed.
    for (size_t i = 0; i < lines.size(); ++i)
      if (!(lines[i] == paintedScreen_[i])) paint_.Line(static_cast<int>(i), lines[i]);
    paintedScreen_ = std::move(lines);
    paint_.Show();
    return;
  }
  paintedScreen_ = lines;
  paint_.Clear();
  paint_.Lines(lines);
  if (const KeyboardPrompt* prompt = session_.prompt()) {
    std::string title = " ";
    title += prompt->Title() + ": ";
    const std::string hint = "  (Enter confirm, Esc cancel)";
    int room = paint_.columns() - CharacterCount(title) - 1;
    const bool withHint = room - CharacterCount(hint) >= 12;
    if (withHint) room -= CharacterCount(hint);
    KeyboardPrompt::View typed = prompt->Visible(std::max(room, 2));
    paint_.Bottom(title + FitText(typed.text, std::max(room, 2)) + (withHint ? hint : ""),
                  CharacterCount(title) + typed.cursor);
  } else if (const auto& question = session_.question()) {
    paint_.Bottom(" " + question->text + "  y yes, n no");
  } else {
    paint_.Bottom(KeyLine(paint_.columns()));
  }
  if (const auto& error = session_.errorScreen()) {
    overlayMaxScroll_ = paint_.Overlay(error->title, error->body, overlayScroll_, "(any key)");
  } else if (helpShown_) {
    overlayMaxScroll_ =
        paint_.Overlay("Keys", KeyHelpText(), overlayScroll_, "(Up/Down scroll, any other key)");
  }
  paint_.Show();
}

gboolean TerminalRadio::OnInput(gint, GIOCondition, gpointer self) {
  static_cast<TerminalRadio*>(self)->ReadKeys();
  return G_SOURCE_CONTINUE;
}

gboolean TerminalRadio::OnSignal(gpointer self) {
  static_cast<TerminalRadio*>(self)->quit_ = true;
  return G_SOURCE_CONTINUE;
}

gboolean TerminalRadio::OnResize(gpointer self) {
  auto* ui = static_cast<TerminalRadio*>(self);
  ui->paint_.Resize();
  ui->dirty_ = true;
  return G_SOURCE_CONTINUE;
}

}  // namespace

int RunTerminalRadio(RadioHost& host) { return TerminalRadio(host).Run(); }

}  // namespace host
