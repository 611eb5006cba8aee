// Switching between the main list ("Radio.ini") and the local list ("RadioLocal.ini"). The list
// being left is saved first, so nothing edited in it is lost; the tuner is not retuned.
#include "context/module_context.h"
#include "presets/mod_presets.h"
#include "tuner/mod_radio.h"

namespace halvane {

void ModPresets::ToggleLocalPresets(const std::shared_ptr<Dispatch>& frm) {
  SetLocalPresets(frm, !c_.Settings().LocalMode());
}

void ModPresets::SetLocalPresets(const std::shared_ptr<Dispatch>& frm, bool mode) {
  PluginSettings& plugin = c_.Settings();
  if (plugin.LocalMode() == mode) return;
  SavePresets();
  plugin.LocalMode(mode);
  LoadPresets("");
  RadioRefresh(frm);
}

}  // namespace halvane
