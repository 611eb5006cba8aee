#include "context/module_context.h"

#include <thread>

#include "halvane/errors.h"

namespace halvane {

Environment Environment::System() {
  return Environment(EnvironmentLocale(),
                     [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); });
}

PluginSettings& ModuleContext::Settings() const {
  if (settings_ == nullptr) Raise(kNoObject, "plugin");
  return *settings_;
}

}  // namespace halvane
