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
#include "error_words.h"
#include "halvane/errors.h"
#include "key_bindings.h"
#include "keyboard_prompt.h"
#include "mpris.h"
#include "radio_view.h"
#include "terminal_paint.h"

namespace host {
namespace {

constexpr wint_t kEscape = 27;
constexpr gint64 kRestingReadUs = 190'000;  // a little under two status ticks
constexpr const char* kChooseFirst = "Choose a preset first (Up/Down)";

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Field(const std::string& command, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    start = command.find(';', start);
    if (start == std::string::npos) return {};
    ++start;
  }
  return command.substr(start, command.find(';', start) - start);
}

// What a person tried, for the words of a failure.
std::string Attempt(const std::string& command) {
  const std::string word = Lower(Field(command, 0));
  if (word == "rtune") return "Can't tune to \"" + Field(command, 1) + "\"";
  if (word == "delpreset") return "Can't delete the preset";
  if (word == "movepreset") return "Can't move the preset";
  if (word == "scan" || word == "surf") return "Can't start the " + word;
  if (word.rfind("load", 0) == 0) return "Can't load \"" + Field(command, 1) + "\"";
  if (word == "savepreset") return "Can't save \"" + Field(command, 1) + "\"";
  return "\"" + command + "\" failed";
}

std::string PromptAttempt(const KeyboardPrompt& prompt) {
  const std::string& c = prompt.keyboardCommand();
  if (c == "tune") return "Can't tune to \"" + prompt.text() + "\"";
  if (c == "preset") return "Can't recall preset \"" + prompt.text() + "\"";
  if (c == "addpreset") return "Can't add the preset";
  return "Can't rename the preset";
}

// The decimal mark of the user's number locale as the C library knows it; "." when unknown.
char EnvironmentDecimalMark() {
  char mark = '.';
  if (locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0))) {
    const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
    if (radix != nullptr && (radix[0] == ',' || radix[0] == '.')) mark = radix[0];
    freelocale(numeric);
  }
  return mark;
}

class TerminalRadio {
 public:
  explicit TerminalRadio(RadioHost& host) : host_(host) {}

  int Run();

 private:
  // Runs one plug-in call; a run-time error becomes the screen's message in plain words.
  template <class Call>
  bool Guard(const std::string& what, Call&& call) {
    try {
      call();
      return true;
    } catch (const halvane::RuntimeError& e) {
      Say(ErrorMessage(e.number(), what), true);
    } catch (const std::exception& e) {
      Say(what + ": " + e.what(), true);
    }
    return false;
  }
  void Say(std::string text, bool error) {
    message_ = std::move(text);
    messageIsError_ = error;
    dirty_ = true;
  }
  // An action that worked: the message of an earlier one goes.
  void Succeeded() { Say("", false); }

  void StartRadio();
  void StopRadio();
  void OnKey(wint_t key, bool isFunctionKey);
  void OnPromptKey(wint_t key, bool isFunctionKey);
  void OnOverlayKey(wint_t key, bool isFunctionKey);
  void OnBinding(const KeyBinding& binding);
  bool RunCommand(const std::string& command, const std::shared_ptr<ScreenObject>& screen,
                  const std::string& what);
  void CommandLine(const std::string& command);
  void Move(const std::string& command, bool up);
  void Recall(int32_t preset);
  void RefreshList();
  void ConfirmPrompt();
  void CancelPrompt();
  void ReadKeys();
  void Update();
  void Paint(bool forced);
  int32_t RowCount() const { return static_cast<int32_t>(host_.radioScreen->list->rows.size()); }
  int32_t Highlight() const { return host_.radioScreen->list->value; }

  static gboolean OnInput(gint, GIOCondition, gpointer self);
  static gboolean OnSignal(gpointer self);
  static gboolean OnResize(gpointer self);

  RadioHost& host_;
  TerminalPaint paint_;
  bool quit_ = false;
  bool dirty_ = true;  // something shown changed besides the plug-in's answers
  std::string message_;
  std::string shownNotice_;  // the latest failed-save line already shown
  bool messageIsError_ = false;
  std::optional<KeyboardPrompt> prompt_;
  std::optional<std::string> errorScreen_;  // an Errscrn call waiting to be dismissed
  bool helpShown_ = false;
  int overlayScroll_ = 0, overlayMaxScroll_ = 0;  // how far the box on top is scrolled
  bool forcedMono_ = false;  // forced mono starts off with the plug-in and follows "mono"
  char decimalMark_ = '.';
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
  host_.sdk().onErrorScreen = [this](const ErrorScreen& args) {
    std::string text;
    for (size_t i = 0; i < args.size() && i < 3; ++i) {
      std::string part = args[i].ToString();
      for (char& c : part)
        if (c == '\r') c = ' ';
      text += (i == 0 ? "" : i == 1 ? ": " : "\n") + part;
    }
    // The driver knows why: the file and line, the device and the system's reason.
    const std::string reason = DriverReason(host_.DriverPath());
    if (!reason.empty()) text += "\n\nWhy: " + reason;
    errorScreen_ = text;
    overlayScroll_ = 0;
    dirty_ = true;
  };
  try {
    host_.Create();
  } catch (const halvane::RuntimeError& e) {
    std::cerr << "halvane-host: can't create the radio: " << ErrorMessage(e.number()) << "\n";
    return 1;
  }

  Mpris mpris(host_, g_main_context_default(), "halvane-host", std::cerr);
  mpris_ = &mpris;

  std::setlocale(LC_CTYPE, "");  // wide characters on the terminal; numbers stay "C"
  decimalMark_ = EnvironmentDecimalMark();
  paint_.Begin();
  StartRadio();

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

  StopRadio();
  paint_.End();
  host_.sdk().onErrorScreen = nullptr;
  host_.Destroy();
  if (!message_.empty() && messageIsError_)
    std::cerr << "halvane-host: last error: " << message_ << "\n";
  return 0;
}

void TerminalRadio::StartRadio() {
  halvane::IDMRadio& radio = host_.Radio();
  Guard("Can't start the radio", [&] { radio.StartRadio(); });
  // Check shows the host's error screen when the tuner did not come up.
  Guard("Can't start the radio", [&] { radio.Check(); });
  bool on = true;
  Guard("Can't switch the radio on", [&] { radio.SetActive(on); });
  RefreshList();
}

void TerminalRadio::StopRadio() {
  halvane::IDMRadio& radio = host_.Radio();
  bool off = false;
  Guard("Can't save the presets", [&] { radio.SetActive(off); });
  Guard("Can't stop the radio", [&] { radio.StopRadio(); });
}

void TerminalRadio::RefreshList() {
  std::shared_ptr<halvane::Dispatch> frm = host_.radioScreen;
  Guard("Can't show the presets", [&] { host_.Radio().Refresh(frm); });
}

bool TerminalRadio::RunCommand(const std::string& command,
                               const std::shared_ptr<ScreenObject>& screen,
                               const std::string& what) {
  std::string cmd = command;
  std::shared_ptr<halvane::Dispatch> frm = screen;
  int16_t result = -1;
  if (!Guard(what, [&] { result = host_.Radio().ProcessCommand(cmd, frm); })) return false;
  Succeeded();
  const std::string word = Lower(Field(command, 0));
  if (word == "mono" && result == 2) forcedMono_ = !forcedMono_;
  // 0 for a keyboard word: the host goes on by showing its on-screen keyboard.
  if (result == 0 && IsKeyboardCommand(command)) prompt_.emplace(word);
  return true;
}

void TerminalRadio::CommandLine(const std::string& command) {
  std::string cmd = command;
  std::shared_ptr<halvane::Dispatch> frm = host_.radioScreen;
  int16_t result = -1;
  if (!Guard(Attempt(command), [&] { result = host_.Radio().ProcessCommand(cmd, frm); })) return;
  Succeeded();
  const std::string word = Lower(Field(command, 0));
  if (word == "mono" && result == 2) forcedMono_ = !forcedMono_;
  if (result == 0 && IsKeyboardCommand(command)) {
    prompt_.emplace(word);
  } else if (result == 0 && word != "enter") {
    Say("The radio does not know the command \"" + command + "\" (see docs/skin-reference.md)",
        false);
  } else if (word == "loadpreset") {
    const std::string file = host_.folders().config + "FMPresets/" + Field(command, 1) + ".fm";
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
      Say("No saved preset is named \"" + Field(command, 1) + "\"", false);
  }
}

void TerminalRadio::Move(const std::string& command, bool up) {
  const ListControl& list = *host_.radioScreen->list;
  const int32_t row = list.value;
  if (row < 0 || row >= RowCount()) return Say(kChooseFirst, false);
  if (up ? row == 0 : row == RowCount() - 1)
    return Say(up ? "That preset is at the top already" : "That preset is at the bottom already",
               false);
  const uint64_t before = list.generation;
  if (!RunCommand(command, host_.radioScreen, "Can't move the preset")) return;
  if (list.generation == before)
    return Say("Presets move while one of them plays: recall one first", false);
  // The chosen preset stays chosen in its new place.
  host_.radioScreen->list->value = row + (up ? -1 : 1);
}

void TerminalRadio::Recall(int32_t preset) {
  if (RowCount() == 0) return Say("The preset list is empty: a adds the station", false);
  if (preset < 1 || preset > RowCount())
    return Say("There is no preset " + std::to_string(preset) + " (the list has " +
                   std::to_string(RowCount()) + ")",
               false);
  int16_t n = static_cast<int16_t>(preset);
  if (!Guard("Can't recall preset " + std::to_string(preset),
             [&] { host_.Radio().PresetRecall(n); }))
    return;
  Succeeded();
  RefreshList();  // the recalled preset's row is highlighted
}

void TerminalRadio::ConfirmPrompt() {
  KeyboardPrompt prompt = std::move(*prompt_);
  prompt_.reset();
  dirty_ = true;
  const std::string text = prompt.TextForPlugin(decimalMark_);
  if (prompt.IsCommandLine()) {
    if (!text.empty()) CommandLine(text);
    return;
  }
  host_.keyboardScreen->txt[0]->text = text;
  if (!RunCommand("enter", host_.keyboardScreen, PromptAttempt(prompt))) return;
  if (prompt.keyboardCommand() == "preset") {
    // The plug-in recalls nothing for a number that is no preset's; say so.
    std::string typed = prompt.text();
    typed.erase(0, typed.find_first_not_of(' '));
    int32_t n = 0;
    auto [end, ec] = std::from_chars(typed.data(), typed.data() + typed.size(), n);
    if (ec != std::errc() || n < 1 || n > RowCount())
      Say("There is no preset \"" + prompt.text() + "\" (the list has " +
              std::to_string(RowCount()) + ")",
          false);
  }
  // Back on the radio screen: its list shows what the keyboard dialogue changed.
  RefreshList();
}

void TerminalRadio::CancelPrompt() {
  bool keyboard = !prompt_->IsCommandLine();
  prompt_.reset();
  dirty_ = true;
  // "enter" from a screen other than the keyboard drops the plug-in's pending keyboard command.
  if (keyboard) RunCommand("enter", host_.plainScreen, "Can't cancel");
}

void TerminalRadio::OnPromptKey(wint_t key, bool isFunctionKey) {
  KeyboardPrompt& p = *prompt_;
  if (isFunctionKey) {
    switch (key) {
      case KEY_ENTER:
        return ConfirmPrompt();
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
      return ConfirmPrompt();
    case kEscape:
      return CancelPrompt();
    case 127:
    case 8:
      return p.Backspace();
    case 1:  // Ctrl-A, Ctrl-E: as in a shell
      return p.Home();
    case 5:
      return p.End();
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
  if (errorScreen_) {
    errorScreen_.reset();
  } else {
    helpShown_ = false;
  }
}

void TerminalRadio::OnKey(wint_t key, bool isFunctionKey) {
  dirty_ = true;
  if (errorScreen_ || helpShown_) return OnOverlayKey(key, isFunctionKey);
  if (prompt_) return OnPromptKey(key, isFunctionKey);
  // Plain characters and curses key codes share one table; characters are below KEY_MIN.
  if (!isFunctionKey && key >= KEY_MIN) return;
  const KeyBinding* binding = FindKeyBinding(static_cast<int>(key));
  if (binding != nullptr) OnBinding(*binding);
}

void TerminalRadio::OnBinding(const KeyBinding& binding) {
  ListControl& list = *host_.radioScreen->list;
  const int32_t rows = RowCount();
  const std::string command = binding.command != nullptr ? binding.command : "";
  switch (binding.action) {
    case KeyAction::Command:
      // Keys that act on the chosen preset act on the row shown highlighted: the list's Value.
      if ((command == "delpreset" || command == "editpreset") &&
          (list.value < 0 || list.value >= rows))
        return Say(kChooseFirst, false);
      if (command.rfind("movepreset", 0) == 0) return Move(command, command.back() == 'p');
      if (command == "surf" && rows == 0 && host_.Radio().SearchMode() == halvane::SModes::Disabled)
        return Say("No presets to surf through: a adds the station, L learns the band", false);
      RunCommand(command, host_.radioScreen, Attempt(command));
      return;
    case KeyAction::RecallPreset:
      return Recall(binding.preset);
    case KeyAction::HighlightUp:
    case KeyAction::HighlightDown: {
      if (rows == 0) return Say("The preset list is empty: a adds the station", false);
      int32_t row = list.value < 0 ? 0 : list.value;
      if (list.value >= 0) row += binding.action == KeyAction::HighlightUp ? -1 : 1;
      // The user's choice: the list's Value, which the screen's PLValue answers too.
      list.value = std::clamp(row, 0, rows - 1);
      return Succeeded();
    }
    case KeyAction::RecallHighlight:
      if (list.value < 0 || list.value >= rows) return Say(kChooseFirst, false);
      return Recall(list.value + 1);
    case KeyAction::CommandLine:
      prompt_.emplace("");
      return;
    case KeyAction::Help:
      helpShown_ = true;
      overlayScroll_ = 0;
      return;
    case KeyAction::Quit:
      quit_ = true;
      return;
  }
}

void TerminalRadio::ReadKeys() {
  wint_t key = 0;
  for (int kind; (kind = get_wch(&key)) != ERR;) OnKey(key, kind == KEY_CODE_YES);
}

void TerminalRadio::Update() {
  if (mpris_ != nullptr) mpris_->Refresh();
  // At rest the screen follows the radio five times a second (every other status tick), which
  // halves what looking costs; after a key, a resize or a change of the list, at once.
  const gint64 now = g_get_monotonic_time();
  const ListControl& list = *host_.radioScreen->list;
  if (!dirty_ && list.generation == rowsGeneration_ && now - lastRead_ < kRestingReadUs) return;
  lastRead_ = now;
  RadioView view;
  try {
    view = ReadRadioView(host_.Radio(), false);
  } catch (const halvane::RuntimeError& e) {
    view = view_;
    if (!messageIsError_) Say(ErrorMessage(e.number(), "Can't show the station"), true);
  }
  // A preset list that could not be saved: the plug-in tells only its log, the user sees it here.
  if (const std::string notice = host_.sdk().LatestNotice(); notice != shownNotice_) {
    shownNotice_ = notice;
    if (!notice.empty()) Say(host_.sdk().LatestNoticeText(), true);
  }
  view.forcedMono = forcedMono_;
  // The plug-in writes numbers with the decimal mark of the user's locale; a typed frequency is
  // handed back with the same.
  if (view.band == "FM") {
    auto mark = view.frequency.find_first_of(".,");
    if (mark != std::string::npos) decimalMark_ = view.frequency[mark];
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
  state.message = message_;
  state.messageIsError = messageIsError_;
  state.ascii = paint_.ascii();
  std::vector<ScreenLine> lines = RenderRadioScreen(state, paint_.columns(), paint_.lines() - 1);
  // The plug-in's answers change more often than what they look like (the signal within one
  // step of the bar, RDS fields the screen does not show): the terminal is left alone then.
  if (!forced && lines == paintedScreen_) return;
  if (!forced && !errorScreen_ && !helpShown_ && lines.size() == paintedScreen_.size()) {
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
  if (prompt_) {
    std::string title = " ";
    title += prompt_->Title() + ": ";
    const std::string hint = "  (Enter confirm, Esc cancel)";
    int room = paint_.columns() - CharacterCount(title) - 1;
    const bool withHint = room - CharacterCount(hint) >= 12;
    if (withHint) room -= CharacterCount(hint);
    KeyboardPrompt::View typed = prompt_->Visible(std::max(room, 2));
    paint_.Bottom(title + FitText(typed.text, std::max(room, 2)) + (withHint ? hint : ""),
                  CharacterCount(title) + typed.cursor);
  } else {
    paint_.Bottom(KeyLine(paint_.columns()));
  }
  if (errorScreen_) {
    overlayMaxScroll_ = paint_.Overlay("Error", *errorScreen_, overlayScroll_, "(any key)");
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
