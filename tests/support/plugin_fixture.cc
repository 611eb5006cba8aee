#include "plugin_fixture.h"

#include <dlfcn.h>
#include <glib.h>
#include <stdlib.h>

#include <filesystem>

#include "halvane/errors.h"
#include "halvane/plugin.h"

namespace testing_support {

std::string RecordingDriverHome() { return RECORDING_DRIVER_HOME; }

rec::Driver& RecordingDriver() {
  std::string path = RecordingDriverHome() + "/RadioModules/Halvane/Radio_IO.so";
  void* lib = dlopen(path.c_str(), RTLD_NOW);
  if (lib == nullptr) throw std::runtime_error("recording driver missing: " + path);
  auto state = reinterpret_cast<rec::Driver* (*)()>(dlsym(lib, "RecordingDriverState"));
  return *state();
}

void PluginTest::SetUp() {
  context_ = std::make_unique<ScopedMainContext>();
  dir_ = std::make_unique<TempDir>();
  std::filesystem::create_directories(ConfigDir());
  std::filesystem::create_directories(CacheDir());
  driver_ = &RecordingDriver();
  driver_->Reset();
  sdk_ = std::make_shared<fake::Sdk>();
  sdk_->Var("DMPath", halvane::Variant(RecordingDriverHome() + "/"));
  auto sdkRef = sdk_;
  halvane::RegisterClassObject(HALVANE_SDK_PROGID, [sdkRef] { return sdkRef; });
  const halvane::Environment env(
      std::make_shared<halvane::FixedLocale>(halvane::NumberFormat{".", ","}, 2057),
      [this](std::chrono::milliseconds d) { sleeps_.push_back(d); });
  component_ = std::make_unique<halvane::Component>(env);
  radio_ = std::make_shared<halvane::DMRadio>(*component_);
  radio_->ConfigPath(ConfigDir());
  radio_->CachePath(CacheDir());
  screen_ = fake::RadioScreen();
}

void PluginTest::TearDown() {
  radio_.reset();
  component_.reset();
  halvane::RevokeClassObject(HALVANE_SDK_PROGID);
  driver_->Reset();
  dir_.reset();
  context_.reset();
}

void PluginTest::SetLocale(const std::string& decimal, const std::string& grouping, int32_t lcid) {
  component_->context().UseLocale(
      std::make_shared<halvane::FixedLocale>(halvane::NumberFormat{decimal, grouping}, lcid));
}

void PluginTest::StartActive() {
  Start();
  Activate(true);
  ClearCalls();
}

int16_t PluginTest::Command(const std::string& cmd, std::shared_ptr<fake::Screen> s) {
  std::string c = cmd;
  std::shared_ptr<halvane::Dispatch> frm = s ? s : screen_;
  return radio_->ProcessCommand(c, frm);
}

}  // namespace testing_support
