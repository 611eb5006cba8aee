#include "plugin/component.h"

#include <thread>

namespace halvane {

Environment Environment::System() {
  return Environment{EnvironmentLocale(),
                     [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); }};
}

Component::Component(Environment environment)
    : env(std::move(environment)), radio(*this), presets(*this) {}

Component& LibraryComponent() {
  static Component component;
  return component;
}

}  // namespace halvane
