// A started, active plug-in with three presets in its main list, tuned to the second of them on the
// channel plan, and helpers to send commands and catch their errors.
#ifndef HALVANE_TESTS_COMMANDS_COMMAND_FIXTURE_H
#define HALVANE_TESTS_COMMANDS_COMMAND_FIXTURE_H

#include <functional>
#include <string>
#include <vector>

#include "error_of.h"
#include "halvane/errors.h"
#include "plugin_fixture.h"

namespace commands_test {

using Calls = std::vector<std::string>;

using testing_support::ErrorOf;

// Main list: 87.50 "One", 95.90 "Two", 100.10 "Three"; saved while on 95.90.
inline constexpr const char* kMainList = "9590|0|0\r\n8750,One\r\n9590,Two\r\n10010,Three\r\n";
inline constexpr const char* kLocalList = "9000|0|0\r\n9000,Local\r\n";

class CommandTest : public testing_support::PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    testing_support::WriteFile(CacheDir() + "Radio.ini", kMainList);
    testing_support::WriteFile(CacheDir() + "RadioLocal.ini", kLocalList);
    StartActive();
    component_->presets().SelectCurrentPreset(screen_);
    Forget();
  }

  // Empties every record of calls made so far.
  void Forget() {
    ClearCalls();
    screen_->events.clear();
    screen_->list->events.clear();
    screen_->list->valuesWritten.clear();
    sdk_->asked.clear();
    sleeps_.clear();
  }

  int ErrorOfCommand(const std::string& cmd, std::shared_ptr<fake::Screen> s = nullptr) {
    return ErrorOf([&] { Command(cmd, s); });
  }

  halvane::ModPresets& presets() { return component_->presets(); }
  std::vector<std::string> Names() const {
    const halvane::PresetTable& table = component_->presets().table();
    std::vector<std::string> names;
    for (size_t i = 1; i < table.size(); ++i) names.emplace_back(table.Name(i));
    return names;
  }
  halvane::CTimer& surfTimer() { return *radio_->search().SurfTimer(); }

  // A search running as its command would leave it, without running its first step.
  void Running(halvane::SModes mode) {
    radio_->SearchMode(mode);
    surfTimer().Interval(1000);
    surfTimer().Enabled(true);
  }
  bool Searching() { return radio_->SearchMode() != halvane::SModes::Disabled; }
};

// The driver calls of one tune to `f` (tuner units).
inline Calls TuneCalls(int32_t f) {
  return {"RDS_Stop(0)", "radioSetFrequency(0," + std::to_string(int64_t{f} * 10000) + ")",
          "RDS_Start(0)"};
}

}  // namespace commands_test

#endif
