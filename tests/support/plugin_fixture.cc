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
  context = std::make_unique<ScopedMainContext>();
  dir = std::make_unique<TempDir>();
  std::filesystem::create_directories(ConfigDir());
  std::filesystem::create_directories(CacheDir());
  driver = &RecordingDriver();
  driver->Reset();
  sdk = std::make_shared<fake::Sdk>();
  sdk->Var("DMPath", halvane::Variant(RecordingDriverHome() + "/"));
  auto sdkRef = sdk;
  halvane::RegisterClassObject(HALVANE_SDK_PROGID, [sdkRef] { return sdkRef; });
  const halvane::Environment env(
      std::make_shared<halvane::FixedLocale>(halvane::NumberFormat{".", ","}, 2057),
      [this](std::chrono::milliseconds d) { sleeps.push_back(d); });
  component = std::make_unique<halvane::Component>(env);
  radio = std::make_shared<halvane::DMRadio>(*component);
  radio->ConfigPath(ConfigDir());
  radio->CachePath(CacheDir());
  screen = fake::RadioScreen();
}

void PluginTest::TearDown() {
  radio.reset();
  component.reset();
  halvane::RevokeClassObject(HALVANE_SDK_PROGID);
  driver->Reset();
  dir.reset();
  context.reset();
}

void PluginTest::SetLocale(const std::string& decimal, const std::string& grouping, int32_t lcid) {
  component->context().UseLocale(
      std::make_shared<halvane::FixedLocale>(halvane::NumberFormat{decimal, grouping}, lcid));
}

void PluginTest::StartActive() {
  Start();
  Activate(true);
  ClearCalls();
}

int16_t PluginTest::Command(const std::string& cmd, std::shared_ptr<fake::Screen> s) {
  std::string c = cmd;
  std::shared_ptr<halvane::Dispatch> frm = s ? s : screen;
  return radio->ProcessCommand(c, frm);
}

}  // namespace testing_support
