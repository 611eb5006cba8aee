// Switching between the main list ("Radio.ini") and the local list ("RadioLocal.ini"). The list
// being left is saved first, so nothing edited in it is lost; the tuner is not retuned.
#include "plugin/dm_radio.h"
#include "presets/mod_presets.h"

namespace halvane {

void ModPresets::ToggleLocalPresets(const std::shared_ptr<Dispatch>& frm) {
  SetLocalPresets(frm, !PluginOf(c_).LocalMode());
}

void ModPresets::SetLocalPresets(const std::shared_ptr<Dispatch>& frm, bool mode) {
  DMRadio& plugin = PluginOf(c_);
  if (plugin.LocalMode() == mode) return;
  SavePresets();
  plugin.LocalMode(mode);
  LoadPresets("");
  c_.radio.RadioRefresh(frm);
}

}  // namespace halvane
