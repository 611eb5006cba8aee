#include "plugin/skin_values.h"

#include "halvane/errors.h"
#include "plugin/component.h"
#include "runtime/numbers.h"

namespace halvane::skin {

std::string FrequencyText(const Component& c) {
  const int32_t freq = c.radio().currentFreq();
  if (IsFm(freq)) return FormatOneDecimal(freq / 100.0, c.Numbers());
  return std::to_string(freq);
}

std::string_view PresetName(const ModPresets& presets, int16_t n) {
  return presets.presetNames(n);  // error 9 outside the store
}

}  // namespace halvane::skin
