// Values several skin answers share: the band, the frequency as the skin shows it, Booleans as
// the skin's texts, the current preset's name.
#ifndef HALVANE_PLUGIN_SKIN_VALUES_H
#define HALVANE_PLUGIN_SKIN_VALUES_H

#include <cstdint>
#include <string>
#include <string_view>

#include "tuner/mod_radio.h"

namespace halvane {

class Component;
class ModPresets;

namespace skin {

// 8750 (87.50 MHz) and up is FM in 10 kHz units; anything lower is AM in kHz.
inline bool IsFm(int32_t freq) { return freq >= band::kFmLow; }

// FM in megahertz with one decimal and the locale's separator ("87.5"); AM in plain kHz ("1000").
std::string FrequencyText(const Component& c);

inline std::string BoolText(bool value) { return value ? "True" : "False"; }

// The name of preset `n` (1-based); error 9 when the store has no such slot.
std::string_view PresetName(const ModPresets& presets, int16_t n);

}  // namespace skin
}  // namespace halvane

#endif
