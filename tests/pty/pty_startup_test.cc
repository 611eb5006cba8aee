#include <gtest/gtest.h>

#include <algorithm>

#include "plugin_fixture.h"

namespace {

using halvane::Variant;
using testing_support::PluginTest;

class PtyStartup : public PluginTest {
 protected:
  std::string Name(int16_t code) const { return component_->pty().PtyName(code); }
};

TEST_F(PtyStartup, TheStandardFollowsTheLocaleOrTheHostSwitch) {
  Start();  // en-GB
  EXPECT_EQ(Name(31), "Alarm");
  radio_->StopRadio();
  sdk_->Var("Userbds", Variant(true));
  Start();  // RBDS now, keeping the RDS names of 24 to 28
  EXPECT_EQ(Name(31), "ALERT! ALERT!");
  EXPECT_EQ(Name(24), "Jazz music");
}

TEST_F(PtyStartup, TheUnitedStatesLocaleChoosesRbds) {
  SetLocale(".", ",", 1033);
  Start();
  EXPECT_EQ(Name(4), "Talk");
  EXPECT_EQ(Name(24), "");
}

TEST_F(PtyStartup, ABrokenNameFileStopsOnlyTheNamesNotTheStart) {
  testing_support::WriteFile(ConfigDir() + "RDS.ini", "news=Nachrichten\r\nsport\r\npop=Pop\r\n");
  Start();
  EXPECT_EQ(Name(1), "Nachrichten");
  EXPECT_EQ(Name(10), "Pop music");
  auto trace = Trace();
  EXPECT_NE(std::find(trace.begin(), trace.end(), "radioSetFrequency(0,87500000)"), trace.end());
}

}  // namespace
