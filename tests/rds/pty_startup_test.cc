#include <gtest/gtest.h>

#include <algorithm>

#include "plugin_fixture.h"

namespace {

using halvane::Variant;
using testing_support::PluginTest;
using testing_support::WriteFile;

class PtyStartup : public PluginTest {
 protected:
  const halvane::ModRdsPtyStrings& Names() const { return component->pty; }
  bool Called(const std::string& call) const {
    auto trace = Trace();
    return std::find(trace.begin(), trace.end(), call) != trace.end();
  }
};

TEST_F(PtyStartup, AStartOutsideTheUnitedStatesLoadsRdsNames) {
  Start();
  EXPECT_EQ(Names().PtyName(4), "Sport");
  EXPECT_EQ(Names().PtyName(31), "Alarm");
}

TEST_F(PtyStartup, AStartInTheUnitedStatesLocaleLoadsRbdsNames) {
  SetLocale(".", ",", 1033);
  Start();
  EXPECT_EQ(Names().PtyName(4), "Talk");
  EXPECT_EQ(Names().PtyName(24), "");
}

TEST_F(PtyStartup, TheHostSwitchSelectsRbdsNamesInAnyLocale) {
  sdk->Var("Userbds", Variant(true));
  Start();
  EXPECT_EQ(Names().PtyName(31), "ALERT! ALERT!");
}

TEST_F(PtyStartup, ARestartWithRbdsKeepsTheRdsNamesOfTwentyFourToTwentyEight) {
  Start();
  radio->StopRadio();
  sdk->Var("Userbds", Variant(true));
  Start();
  EXPECT_EQ(Names().PtyName(14), "Jazz music");
  EXPECT_EQ(Names().PtyName(24), "Jazz music");
  EXPECT_EQ(Names().PtyName(28), "Folk music");
}

TEST_F(PtyStartup, ABrokenLineInTheNameFileStopsOnlyTheNamesNotTheStart) {
  WriteFile(ConfigDir() + "RDS.ini", "news=Nachrichten\r\nsport\r\nweather=Wetter\r\n");
  Start();
  EXPECT_EQ(Names().PtyName(1), "Nachrichten");
  EXPECT_EQ(Names().PtyName(4), "Sport");
  EXPECT_EQ(Names().PtyName(16), "Weather");
  // The steps after the names still ran: muted and tuned.
  EXPECT_TRUE(Called("VolumeMute(0,1)"));
  EXPECT_TRUE(Called("radioSetFrequency(0,87500000)"));
}

TEST_F(PtyStartup, AFailedStartLoadsNoNames) {
  driver->script.results["radioInitialize"] = 5;
  Start();
  EXPECT_EQ(Names().PtyName(1), "");
}

}  // namespace
