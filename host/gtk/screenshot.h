// A widget drawn into a PNG file, as it shows on screen, without a compositor or GL.
#ifndef HALVANE_HOST_GTK_SCREENSHOT_H
#define HALVANE_HOST_GTK_SCREENSHOT_H

#include <gtk/gtk.h>

#include <string>

namespace host::gtk {

// Draws `widget` at its current size into `file`. False, with the reason in `error`, when the
// widget has no size yet or the file can't be written.
bool SaveScreenshot(GtkWidget* widget, const std::string& file, std::string& error);

}  // namespace host::gtk

#endif
