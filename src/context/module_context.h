// What the tuner and preset modules are handed, and all they see of the plug-in above them: the
// surroundings that tests replace (the locale, the seek's pause), the host SDK object, and the few
// plug-in settings the modules read.
#ifndef HALVANE_CONTEXT_MODULE_CONTEXT_H
#define HALVANE_CONTEXT_MODULE_CONTEXT_H

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "context/host_contract.h"
#include "runtime/locale.h"

namespace halvane {

// The surroundings that tests replace: the user's locale, and the seek's pause (which blocks the
// calling thread).
class Environment {
 public:
  using Sleep = std::function<void(std::chrono::milliseconds)>;

  Environment(std::shared_ptr<const LocaleService> locale, Sleep sleep)
      : locale_(std::move(locale)), sleep_(std::move(sleep)) {}
  // The process's locale, and a pause that sleeps.
  static Environment System();

  const std::shared_ptr<const LocaleService>& locale() const { return locale_; }
  const Sleep& sleep() const { return sleep_; }

 private:
  std::shared_ptr<const LocaleService> locale_;
  Sleep sleep_;
};

// The plug-in's properties that the modules read, and LocalMode, which switching lists writes.
class PluginSettings {
 public:
  virtual std::string ConfigPath() = 0;
  virtual std::string CachePath() = 0;
  virtual bool LocalMode() = 0;
  virtual void LocalMode(bool value) = 0;

 protected:
  ~PluginSettings() = default;
};

class ModuleContext {
 public:
  explicit ModuleContext(const Environment& environment = Environment::System())
      : locale_(environment.locale()), sleep_(environment.sleep()) {}
  ModuleContext(const ModuleContext&) = delete;
  ModuleContext& operator=(const ModuleContext&) = delete;

  const NumberFormat& Numbers() const { return locale_->Numbers(); }
  int32_t Lcid() const { return locale_->Lcid(); }
  void Sleep(std::chrono::milliseconds duration) const { sleep_(duration); }
  // Replacing the surroundings after creation, as tests do.
  void UseLocale(std::shared_ptr<const LocaleService> locale) { locale_ = std::move(locale); }
  void UseSleep(Environment::Sleep sleep) { sleep_ = std::move(sleep); }

  // The host SDK object, from the plug-in object's creation to its end; none before.
  const ObjectRef& Sdk() const { return sdk_; }
  void Sdk(ObjectRef sdk) { sdk_ = std::move(sdk); }

  // The plug-in object's settings; error 91 while there is no plug-in object.
  PluginSettings& Settings() const;
  // Set by the plug-in object at its creation (a non-owning reference), cleared at its end.
  const PluginSettings* SettingsOwner() const { return settings_; }
  void Settings(PluginSettings* settings) { settings_ = settings; }

 private:
  std::shared_ptr<const LocaleService> locale_;
  Environment::Sleep sleep_;
  ObjectRef sdk_;
  PluginSettings* settings_ = nullptr;
};

}  // namespace halvane

#endif
