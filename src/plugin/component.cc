#include "plugin/component.h"

namespace halvane {

Component::Component(Environment environment)
    : context(std::move(environment)), radio(context), presets(context, radio) {}

void Component::LoadNames(bool useRbds) {
  pty.LoadPtyNames(useRbds, context.Settings().ConfigPath());
}

int32_t Component::LoadPresets() { return presets.LoadPresets(""); }

void Component::SavePresets() { presets.SavePresets(); }

Component& LibraryComponent() {
  static Component component;
  return component;
}

}  // namespace halvane
