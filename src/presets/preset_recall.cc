// Moving the tuner between presets. Stepping tunes through TuneTo directly, so a running surf or
// scan goes on; a preset's frequency is its text's leading number rounded to 32 bits.
#include "context/module_context.h"
#include "presets/mod_presets.h"
#include "runtime/numbers.h"
#include "tuner/mod_radio.h"

namespace halvane {

void ModPresets::RecallPreset(int16_t n) {
  if (n < 1 || n > Count()) return;
  radio_.TuneTo(ToInt32(FrequencyOf(n)));
  currentPreset_ = n;  // only once the tuner took it
}

// From the last preset (or none) the next one is preset 1; an empty store does nothing.
void ModPresets::NextPreset() {
  const int16_t count = Count();
  if (currentPreset_ == count) currentPreset_ = 0;
  if (currentPreset_ < count) {
    ++currentPreset_;
    radio_.TuneTo(ToInt32(FrequencyOf(currentPreset_)));
  }
}

// No wrap from the first preset to the last, and nothing to step back from without a preset.
void ModPresets::PreviousPreset() {
  if (currentPreset_ <= 1) return;
  --currentPreset_;
  radio_.TuneTo(ToInt32(FrequencyOf(currentPreset_)));
}

}  // namespace halvane
