// Placeholder until the command dispatcher and the search ticks land.
#include "plugin/dm_radio.h"

namespace halvane {
int16_t DMRadio::ProcessCommand(std::string&, std::shared_ptr<Dispatch>&) { return 0; }
}  // namespace halvane
