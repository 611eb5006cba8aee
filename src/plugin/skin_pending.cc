// Placeholder until the skin answers land.
#include "plugin/dm_radio.h"

namespace halvane {
std::string DMRadio::GetArtwork() { return {}; }
std::string DMRadio::ReturnLabel(std::string&, std::string&) { return {}; }
int32_t DMRadio::ReturnSlider(std::string&) { return -1; }
std::string DMRadio::ReturnIndicatorEx(std::string&) { return {}; }
}  // namespace halvane
