// A skin: a folder holding the radio screen ("radio_player.ui") and the on-screen keyboard screen
// ("osk.ui") as GtkBuilder files, their style ("style.css") and pictures (the mute pictures
// "muted.png" and "unmuted.png" the plug-in looks up there). Each screen's Tag is its file name
// with ".skin" for ".ui", so the plug-in knows the radio screen and the keyboard screen.
#ifndef HALVANE_HOST_GTK_SKIN_H
#define HALVANE_HOST_GTK_SKIN_H

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "binding_keywords.h"
#include "gobject_ptr.h"

namespace host::gtk {

inline constexpr const char* kRadioScreenFile = "radio_player.ui";
inline constexpr const char* kKeyboardScreenFile = "osk.ui";
inline constexpr const char* kStyleFile = "style.css";

struct BoundWidget {
  Binding binding;
  GtkWidget* widget;  // owned by the screen's widget tree
};

struct SkinScreen {
  std::string file;  // the .ui file's path
  std::string tag;   // "radio_player.skin"
  GObjectPtr<GtkBuilder> builder;
  GObjectPtr<GtkWidget> root;  // the widget with id "screen", held while the skin lives
  std::vector<BoundWidget> bindings;
  GtkListView* presetList = nullptr;  // id "PL"
  GtkEditable* typedText = nullptr;   // id "txt.0"
};

struct Skin {
  std::string folder;  // with "/"
  std::unique_ptr<SkinScreen> radio;
  std::unique_ptr<SkinScreen> keyboard;
  GObjectPtr<GtkCssProvider> style;   // null when the skin has no style.css
  std::vector<std::string> warnings;  // "FILE: what", for bindings and styles left as designed
};

// Loads the skin in `folder`. On failure returns null and sets `error` to "FILE:LINE: reason"
// (without the line when the reason has none).
std::unique_ptr<Skin> LoadSkin(const std::string& folder, std::string& error);

// A GtkBuilder or file error as "FILE:LINE: reason".
std::string SkinErrorText(const std::string& file, const GError* error);

// The Tag of the screen in the .ui file at `file`: its name with ".skin" for ".ui".
std::string ScreenTag(const std::string& file);

}  // namespace host::gtk

#endif
