// Placeholder until the search ticks land.
#include "plugin/dm_radio.h"

namespace halvane {
void DMRadio::SurfTimer_Timer() {}
}  // namespace halvane
