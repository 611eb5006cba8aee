// Placeholder bodies until the preset module lands: an empty store, nothing saved or shown.
#include "halvane/errors.h"
#include "plugin/component.h"
#include "presets/mod_presets.h"
#include "runtime/numbers.h"

namespace halvane {

void ModPresets::ResetPresets() {
  presetFreqs.assign(1, "");
  presetNames.assign(1, "");
  currentPreset = 0;
}
int16_t ModPresets::LoadPresets(const std::string&) {
  ResetPresets();
  return 0;
}
void ModPresets::SavePresets() {}
void ModPresets::ToggleLocalPresets(const std::shared_ptr<Dispatch>&) {}
void ModPresets::SetLocalPresets(const std::shared_ptr<Dispatch>&, bool) {}
void ModPresets::SaveNamedPreset(const std::string&) {}
void ModPresets::LoadNamedPreset(const std::string&) {}
void ModPresets::FillPresetList(const std::shared_ptr<Dispatch>&) {}
void ModPresets::SelectCurrentPreset(const std::shared_ptr<Dispatch>&) {}
void ModPresets::AddPreset(const std::string&) {}
void ModPresets::RenamePreset(const std::string&, int16_t) {}
void ModPresets::DeletePreset(const std::shared_ptr<Dispatch>&) {}
void ModPresets::MovePreset(const std::shared_ptr<Dispatch>&, bool) {}
void ModPresets::RecallPreset(int16_t) {}
void ModPresets::NextPreset() {}
void ModPresets::PreviousPreset() {}
int16_t ModPresets::Count() const {
  if (presetFreqs.empty()) Raise(kSubscriptRange);
  return static_cast<int16_t>(presetFreqs.size() - 1);
}
double ModPresets::FrequencyOf(int16_t i) const { return LeadingNumber(presetFreqs.at(i)); }
std::string ModPresets::ListFilePath() const { return {}; }

}  // namespace halvane
