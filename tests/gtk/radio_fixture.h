// The graphical radio in this test process: the default skin, the simulated tuner, a home folder
// of its own, on the X server run_with_xvfb started; and the skin's widgets found by their ids.
#ifndef HALVANE_TESTS_GTK_RADIO_FIXTURE_H
#define HALVANE_TESTS_GTK_RADIO_FIXTURE_H

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "radio_host.h"
#include "radio_window.h"

namespace gtktest {

// A folder under /tmp, removed with everything in it at destruction.
class Scratch {
 public:
  Scratch();
  ~Scratch();
  const std::string& path() const { return path_; }  // with "/"

 private:
  std::string path_;
};

// Runs GTK's main context until `done` holds or `ms` pass; returns whether it holds.
bool RunUntil(const std::function<bool()>& done, int ms = 15000);

// A copy of the default skin in `folder`.
void CopyDefaultSkin(const std::string& folder);
// The text of a file, with `from` replaced by `to` (once); for skins made to fail.
void EditFile(const std::string& path, const std::string& from, const std::string& to);

// The texts of every label inside `widget`, one a line.
std::string ShownText(GtkWidget* widget);

// The buttons under `root` that run an action of the skin.
std::vector<GtkWidget*> ActionButtons(GtkWidget* root);

class RadioTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the radio with the skin in `folder` ("" for the default one).
  void StartRadio(const std::string& skinFolder = "");

  GtkWidget* Widget(const std::string& id, bool keyboard = false) const;
  std::string Text(const std::string& id, bool keyboard = false) const;
  bool IsOn(const std::string& id) const;
  // A tap on a button naming `action` ("radio.command") with the target `value`.
  void Tap(const char* action, GVariant* value, bool keyboard = false);
  void Command(const char* command, bool keyboard = false);
  // A command that tunes, then waits for the frequency label to say `frequency`.
  void Tune(const char* command, const char* frequency);

  Scratch home_;
  std::unique_ptr<host::RadioHost> host_;
  std::unique_ptr<host::gtk::RadioWindow> radio_;
};

}  // namespace gtktest

#endif
