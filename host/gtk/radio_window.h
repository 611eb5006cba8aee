// The graphical radio's window: the skin's radio screen and keyboard screen in one window, the
// plug-in driven from their buttons, keys and preset list, and every bound widget repainted from
// the plug-in's labels, indicators and slider ten times a second on GTK's main context, where the
// plug-in's own timers tick too.
#ifndef HALVANE_HOST_GTK_RADIO_WINDOW_H
#define HALVANE_HOST_GTK_RADIO_WINDOW_H

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "artwork_picture.h"
#include "dialogs.h"
#include "driver_reception.h"
#include "keyboard_prompt.h"
#include "preset_list.h"
#include "radio_host.h"
#include "radio_session.h"
#include "skin.h"

namespace host::gtk {

class RadioWindow {
 public:
  // Builds the window around the skin's screens; `app` may be null (tests).
  RadioWindow(RadioHost& host, std::unique_ptr<Skin> skin, GtkApplication* app);
  ~RadioWindow();
  RadioWindow(const RadioWindow&) = delete;
  RadioWindow& operator=(const RadioWindow&) = delete;

  GtkWindow* window() const { return window_; }
  const Skin& skin() const { return *skin_; }

  // Creates the plug-in, starts the tuner, checks it (a tuner that did not come up shows the
  // error screen's text), makes it active and fills the preset list. False when the plug-in
  // can't be created; `error` says why.
  bool Start(std::string& error);
  // Makes the radio inactive and stops it, so the presets are saved, and releases the plug-in.
  void Stop();

  // What the skin's actions do. `fromKeyboard`: the button is on the keyboard screen.
  void Command(const std::string& command, bool fromKeyboard);
  void Recall(int32_t preset);
  void Type(const std::string& text);
  void Backspace();
  void Cancel();
  void SetNight(bool night);
  bool night() const { return night_; }
  // The keyboard screen's letter keys in small letters (else capitals, as the skin has them).
  void SetSmallLetters(bool small);
  bool smallLetters() const { return smallLetters_; }
  void ShowHelp();
  // A panel over the radio with `text` and a Close button: the host's error screen.
  void ShowDialog(const std::string& title, const std::string& text);
  // The skin's panel of further actions (its object "more"), over the radio.
  void ShowMore();
  // The panels over the radio: the question, the help, the error screen, more actions.
  Sheets& sheets() { return *sheets_; }
  // Presses a key as the keyboard would; true when the radio took it.
  bool PressKey(guint keyval);
  // Does what a key of the radio's table does.
  void DoBinding(const KeyBinding& binding);

  // Asks the plug-in for every bound widget of the shown screen and shows the answers.
  void Repaint();
  // Runs after every repaint (the desktop's media interface hears of changes there).
  std::function<void()> afterRepaint;

  bool KeyboardShown() const { return session_.prompt() != nullptr; }
  // The message line: what the last action came to ("Can't do ...: ... (error 13)"), "" once
  // one works.
  const std::string& lastError() const { return session_.message(); }
  RadioSession& session() { return session_; }

 private:
  // Shows what the session holds: the keyboard screen while it has a prompt, the error screen,
  // a question.
  void FollowSession();
  void AskQuestion(const std::string& question);
  // Runs one query of a repaint; a run-time error goes to the message line.
  template <class Call>
  bool Query(const std::string& keyword, Call&& call);
  void Confirm();
  bool TypeOverOffered(guint keyval);
  std::string TypedText() const;
  void RepaintScreen(SkinScreen& screen);
  // The host's "quality" or "blend" text from the driver's report of the reception.
  void ShowReception(GtkWidget* widget, const std::string& keyword,
                     const DriverReception& reception);
  GActionGroup* MakeActions(bool keyboard);
  void SetToggle(const char* action, bool on);
  // A long press on an empty preset button stores the station, as a car radio's does.
  void HoldToStore(GtkWidget* button, int32_t row);

  static gboolean OnTick(gpointer self);
  static gboolean OnKey(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state,
                        gpointer self);
  static void OnAction(GSimpleAction* action, GVariant* parameter, gpointer data);
  static void OnTypedTextActivate(GtkWidget*, gpointer self);

  struct ActionContext {
    RadioWindow* window;
    bool keyboard;
  };

  RadioHost& host_;
  std::unique_ptr<Skin> skin_;
  GtkWindow* window_;
  GtkStack* stack_;
  GtkOverlay* overlay_;              // the screens, with the panels over them
  GtkCssProvider* style_ = nullptr;  // added to the display while the window lives
  ActionContext radioContext_{this, false}, keyboardContext_{this, true};
  GActionGroup* radioActions_ = nullptr;
  GActionGroup* keyboardActions_ = nullptr;
  std::unique_ptr<PresetList> presetList_;
  std::map<GtkWidget*, ArtworkPicture> pictures_;
  RadioSession session_;
  std::unique_ptr<Sheets> sheets_;
  bool keyboardShown_ = false;  // the keyboard screen is up for the session's prompt
  bool prefilled_ = false;      // the typed text is still the prefilled one: a key replaces it
  bool night_ = false;
  bool smallLetters_ = false;
  guint tick_ = 0;
};

}  // namespace host::gtk

#endif
