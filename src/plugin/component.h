// The module-level state of one loaded plug-in library: the context the modules are handed, the
// tuner, the programme-type names and the preset store. The library keeps one for the host;
// every test builds its own, with its own locale and clock.
#ifndef HALVANE_PLUGIN_COMPONENT_H
#define HALVANE_PLUGIN_COMPONENT_H

#include "context/module_context.h"
#include "presets/mod_presets.h"
#include "pty/mod_rds_pty_strings.h"
#include "tuner/mod_radio.h"

namespace halvane {

// Also what the tuner's start, stop and activation load and save: the names and the presets.
class Component final : public RadioStations {
 public:
  explicit Component(const Environment& environment = Environment::System());
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const NumberFormat& Numbers() const { return context_.Numbers(); }

  void LoadNames(bool useRbds) override;
  int32_t LoadPresets() override;
  void SavePresets() override;

  ModuleContext& context() { return context_; }
  ModRadio& radio() { return radio_; }
  ModRdsPtyStrings& pty() { return pty_; }
  ModPresets& presets() { return presets_; }
  const ModRadio& radio() const { return radio_; }
  const ModPresets& presets() const { return presets_; }

 private:
  ModuleContext context_;
  ModRadio radio_;
  ModRdsPtyStrings pty_;
  ModPresets presets_;
};

// The component of this loaded library, the one the host's objects use.
Component& LibraryComponent();

}  // namespace halvane

#endif
