// Panels over the radio inside its own window, as the number pad is: a dimmed layer over the whole
// screen that takes every tap, and a panel centred on it, made for the 800x480 touch screen. A
// window of their own would open in a corner where no window manager places it. What does not
// fit scrolls with a scroll bar in view, the buttons stay below it, and the keys work as the
// buttons do.
#ifndef HALVANE_HOST_GTK_DIALOGS_H
#define HALVANE_HOST_GTK_DIALOGS_H

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace host::gtk {

class Sheets {
 public:
  // Lays its panels over `overlay`'s child; `actions` (the radio's) serve their buttons.
  Sheets(GtkOverlay* overlay, GActionGroup* actions);
  ~Sheets();
  Sheets(const Sheets&) = delete;
  Sheets& operator=(const Sheets&) = delete;

  // A message with a Close button: the host's error screen.
  void ShowMessage(const std::string& title, const std::string& text);
  // The keys and taps, as a grid of key, tap and what it does.
  void ShowHelp();
  // A question with Yes and No; `answered` runs once, with false when the panel goes otherwise.
  void Ask(const std::string& question, std::function<void(bool yes)> answered);
  // `content` (the skin's own, kept by its builder) with a Close button; a tap on a button in
  // it closes the panel too.
  void ShowPanel(const std::string& title, GtkWidget* content);

  bool open() const { return layer_ != nullptr; }
  const std::string& title() const { return title_; }
  // The panel shown, or null.
  GtkWidget* panel() const { return panel_; }
  // Esc closes (No); y or Enter says Yes to a question, n No; Up/Down, PgUp/PgDn scroll. True
  // for every key while a panel is open: nothing reaches the radio beneath.
  bool PressKey(guint keyval);
  // Closes the open panel as its Close or No button does.
  void Close();
  // Runs after a panel is shown, and after it closes.
  std::function<void(bool open)> onChange;

 private:
  void Show(const std::string& title, GtkWidget* body, GtkWidget* buttons);
  void Answer(bool yes);

  GtkOverlay* overlay_;
  GActionGroup* actions_;
  GtkWidget* layer_ = nullptr;
  GtkWidget* panel_ = nullptr;
  GtkWidget* content_ = nullptr;  // the skin's, given back to its builder at close
  GtkScrolledWindow* scrolled_ = nullptr;
  std::string title_;
  std::function<void(bool)> answered_;
};

}  // namespace host::gtk

#endif
