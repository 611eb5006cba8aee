#include "plugin/component.h"

namespace halvane {

Component::Component(const Environment& environment)
    : context_(environment), radio_(context_), presets_(context_, radio_) {}

void Component::LoadNames(bool useRbds) {
  pty_.LoadPtyNames(useRbds, context_.Settings().ConfigPath());
}

int32_t Component::LoadPresets() { return presets_.LoadPresets(""); }

void Component::SavePresets() { presets_.SavePresets(); }

Component& LibraryComponent() {
  static Component component;
  return component;
}

}  // namespace halvane
