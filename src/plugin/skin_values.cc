#include "plugin/skin_values.h"

#include "halvane/errors.h"
#include "plugin/component.h"
#include "runtime/numbers.h"

namespace halvane::skin {

std::string FrequencyText(const Component& c) {
  const int32_t freq = c.radio.currentFreq;
  if (IsFm(freq)) return FormatOneDecimal(freq / 100.0, c.Numbers());
  return std::to_string(freq);
}

const std::string& PresetName(const ModPresets& presets, int16_t n) {
  if (n < 0 || static_cast<size_t>(n) >= presets.presetNames.size())
    Raise(kSubscriptRange, "preset " + std::to_string(n));
  return presets.presetNames[static_cast<size_t>(n)];
}

}  // namespace halvane::skin
