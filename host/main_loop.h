// The GLib main loop of the host's one thread: the plug-in's timers tick only while it runs.
#ifndef HALVANE_HOST_MAIN_LOOP_H
#define HALVANE_HOST_MAIN_LOOP_H

#include <cstdint>

namespace host {

// Runs the default main context for `ms` milliseconds of real time, dispatching every source
// that falls due, and returns. 0 or less dispatches only what is due now.
void RunMainLoopFor(int32_t ms);

}  // namespace host

#endif
