// The presets as the host's list control `PL` shows them: row r (0-based) is preset r + 1. Every
// redraw clears the list and adds every row again; the highlight follows the tuned frequency.
#include <optional>

#include "context/module_context.h"
#include "halvane/errors.h"
#include "presets/mod_presets.h"
#include "runtime/numbers.h"
#include "tuner/mod_radio.h"

namespace halvane {
namespace {
// Written as the highlight when no preset holds the tuned frequency: the host shows no row.
constexpr int32_t kNoRowHighlighted = -2;
// Stored values above this are FM in 10 kHz units, shown in MHz; up to it, AM in kHz as stored.
constexpr double kHighestAmValue = band::kAmHigh;
}  // namespace

std::string ModPresets::RowText(int16_t i) const {
  const double value = FrequencyOf(i);
  std::string row = std::to_string(i) + ". ";
  row += value > kHighestAmValue ? FormatOneDecimal(value / 100, c_.Numbers()) : presetFreqs(i);
  row += " - ";
  row += presetNames(i);
  return row;
}

void ModPresets::RadioRefresh(const std::shared_ptr<Dispatch>& frm) {
  if (!radio_.active()) return;
  FillPresetList(frm);
  SelectCurrentPreset(frm);
}

void ModPresets::FillPresetList(const std::shared_ptr<Dispatch>& frm) {
  if (!host::EqualsTrue(host::ShowPL(frm))) return;
  currentPreset_ = 0;
  host::ListClear(host::PL(frm));
  const int16_t count = Count();
  const double tuned = radio_.currentFreq();
  for (int32_t i = 1; i <= count; ++i) {
    const auto preset = static_cast<int16_t>(i);
    host::ListAddItem(host::PL(frm), RowText(preset));
    if (FrequencyOf(preset) == tuned) currentPreset_ = preset;  // the last match wins
  }
  host::ListCenterList(host::PL(frm));
}

// Called after every command: a host call that fails leaves the highlight as it was, and only a
// ShowPL that was read and is true lets the highlight be written.
void ModPresets::SelectCurrentPreset(const std::shared_ptr<Dispatch>& frm) {
  currentPreset_ = 0;
  IgnoreErrors([&] { currentPreset_ = PresetHolding(radio_.currentFreq()); });
  std::optional<Variant> showPL;
  IgnoreErrors([&] { showPL = host::ShowPL(frm); });
  if (!radio_.active() || !showPL || !host::EqualsTrue(*showPL)) return;
  const int32_t row = currentPreset_ > 0 ? currentPreset_ - 1 : kNoRowHighlighted;
  IgnoreErrors([&] { host::SetListValue(host::PL(frm), row); });
}

}  // namespace halvane
