// Interactive mode: the radio in a terminal, drawn with curses whenever something shown changes,
// while the GLib main loop delivers the plug-in's timer ticks, keys and signals on the one thread.
#ifndef HALVANE_HOST_TERMINAL_UI_H
#define HALVANE_HOST_TERMINAL_UI_H

#include "radio_host.h"

namespace host {

// Creates, starts and activates the radio, runs until the user quits (or SIGINT, SIGTERM,
// SIGHUP), then deactivates and stops it so the presets are saved. Returns the exit status.
int RunTerminalRadio(RadioHost& host);

}  // namespace host

#endif
