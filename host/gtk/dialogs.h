// Windows over the radio, made for its 800x480 touch screen: what does not fit scrolls, the
// buttons stay in view below it, and Esc closes them as their Close (or No) button does.
#ifndef HALVANE_HOST_GTK_DIALOGS_H
#define HALVANE_HOST_GTK_DIALOGS_H

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace host::gtk {

// A message with a Close button: the host's error screen.
GtkWindow* ShowMessage(GtkWindow* parent, const std::string& title, const std::string& text);

// The keys, as a grid of key and what it does, over the whole radio: a tap beside the grid
// closes it too.
GtkWindow* ShowKeysHelp(GtkWindow* parent);

// A question with Yes and No; `answered` runs once, with false when the window is closed
// otherwise.
GtkWindow* Ask(GtkWindow* parent, const std::string& question,
               std::function<void(bool yes)> answered);

}  // namespace host::gtk

#endif
