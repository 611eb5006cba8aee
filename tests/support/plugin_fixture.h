// A plug-in object on its own component, with the recording driver as its tuner, fake host
// objects, an injected locale, a seek pause that only records, a private GLib context that ticks
// only when the test iterates it, and fresh configuration and cache folders.
#ifndef HALVANE_TESTS_PLUGIN_FIXTURE_H
#define HALVANE_TESTS_PLUGIN_FIXTURE_H

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "fake_host.h"
#include "plugin/dm_radio.h"
#include "recording_driver.h"
#include "test_basics.h"

namespace testing_support {

// The recording driver as loaded by the plug-in's call gate.
rec::Driver& RecordingDriver();
// The folder to hand the plug-in as "=$DMPath$" so it finds the recording driver.
std::string RecordingDriverHome();

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Locale: separators and the Windows identifier.
  void SetLocale(const std::string& decimal, const std::string& grouping, int32_t lcid);

  void Start() { radio_->StartRadio(); }
  void Activate(bool state = true) { radio_->SetActive(state); }
  // Started and active, with the driver's record of calls emptied.
  void StartActive();
  std::vector<std::string> Trace() const { return driver_->Trace(); }
  void ClearCalls() { driver_->calls.clear(); }

  int16_t Command(const std::string& cmd, std::shared_ptr<fake::Screen> screen = nullptr);

  std::string ConfigDir() const { return dir_->path() + "/config/"; }
  std::string CacheDir() const { return dir_->path() + "/cache/"; }

  std::unique_ptr<ScopedMainContext> context_;
  std::unique_ptr<TempDir> dir_;
  rec::Driver* driver_ = nullptr;
  std::shared_ptr<fake::Sdk> sdk_;
  std::shared_ptr<fake::Screen> screen_;  // a radio screen
  std::unique_ptr<halvane::Component> component_;
  std::shared_ptr<halvane::DMRadio> radio_;
  std::vector<std::chrono::milliseconds> sleeps_;
};

}  // namespace testing_support

#endif
