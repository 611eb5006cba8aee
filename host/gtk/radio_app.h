// halvane-radio as a GTK application: the skin chosen (or the default one when it fails), the
// host's folders and variables set for it, the window run until it is closed.
#ifndef HALVANE_HOST_GTK_RADIO_APP_H
#define HALVANE_HOST_GTK_RADIO_APP_H

#include <string>

#include "radio_options.h"

namespace host::gtk {

// The default skin and the example artwork shipped with the program: beside it in the build
// ("skins/default/", "art/"), under "../share/halvane/" once installed. "" when not found.
std::string DefaultSkinFolder(const std::string& programFolder);
std::string ShippedArtFolder(const std::string& programFolder);

// Runs the radio; returns the process's exit status.
int RunRadioApp(const RadioOptions& options);

}  // namespace host::gtk

#endif
