// The module-level state of one loaded plug-in library: the tuner, the preset store, the
// programme-type names and the references to the host SDK object and the plug-in object. The
// library keeps one for the host; every test builds its own, with its own locale and clock.
#ifndef HALVANE_PLUGIN_COMPONENT_H
#define HALVANE_PLUGIN_COMPONENT_H

#include <chrono>
#include <functional>
#include <memory>

#include "plugin/host_contract.h"
#include "presets/mod_presets.h"
#include "rds/mod_rds_pty_strings.h"
#include "runtime/locale.h"
#include "tuner/mod_radio.h"

namespace halvane {

class DMRadio;

// What the plug-in takes from its surroundings and tests replace.
struct Environment {
  std::shared_ptr<const LocaleService> locale;
  // The seek's pause; blocks the calling thread.
  std::function<void(std::chrono::milliseconds)> sleep;

  static Environment System();
};

class Component {
 public:
  explicit Component(Environment environment = Environment::System());
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const NumberFormat& Numbers() const { return env.locale->Numbers(); }

  Environment env;
  ObjectRef sdk;              // the host SDK object, from the plug-in's creation to its end
  DMRadio* plugin = nullptr;  // the plug-in object, a non-owning back-reference
  ModRadio radio;
  ModPresets presets;
  ModRdsPtyStrings pty;
};

// The component of this loaded library, the one the host's objects use.
Component& LibraryComponent();

}  // namespace halvane

#endif
