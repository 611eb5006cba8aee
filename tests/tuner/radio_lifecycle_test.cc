// Start, stop, activation and mute, seen as the driver calls and host calls they make.
#include <gtest/gtest.h>

#include "halvane/errors.h"
#include "plugin_fixture.h"

namespace {

using namespace halvane;
using testing_support::PluginTest;
using Calls = std::vector<std::string>;

const Calls kStartCalls{"radioInitialize()", "VolumeMute(0,1)", "RDS_Stop(0)",
                        "radioSetFrequency(0,87500000)", "RDS_Start(0)"};

class RadioLifecycle : public PluginTest {
 protected:
  ModRadio& mod() { return component_->radio(); }
};

TEST_F(RadioLifecycle, FirstStartMutesThenTunesToTheDefaultAndStaysInactive) {
  Start();
  EXPECT_EQ(Trace(), kStartCalls);
  EXPECT_FALSE(radio_->IsActive());
  EXPECT_TRUE(mod().radioReady());
  EXPECT_TRUE(mod().muted());
  EXPECT_EQ(radio_->Freq(), 8750);
  EXPECT_EQ(mod().driverPath(),
            testing_support::RecordingDriverHome() + "/RadioModules/Halvane/Radio_IO.so");
  EXPECT_TRUE(sdk_->log.empty());  // logging is off unless the host asks for it
  EXPECT_TRUE(radio_->Check());
  EXPECT_TRUE(sdk_->errscrns.empty());
}

TEST_F(RadioLifecycle, DebugSwitchLogsTheStartLines) {
  sdk_->Var("RadioDebug", Variant(true));
  Start();
  EXPECT_EQ(sdk_->log, (Calls{"Halvane---> StartRadio", "Halvane---> LCID=2057",
                              "Halvane---> RadioTune=8750"}));
}

TEST_F(RadioLifecycle, FailedInitializeLogsTheCodeAndCheckShowsTheErrorScreenEachTime) {
  sdk_->Var("RadioDebug", Variant("True"));
  driver_->script.results["radioInitialize"] = 5;
  Start();
  EXPECT_EQ(Trace(), (Calls{"radioInitialize()"}));
  EXPECT_EQ(sdk_->log,
            (Calls{"Halvane---> StartRadio", "Halvane---> Initialize failed return code:5"}));
  EXPECT_FALSE(mod().radioReady());
  const std::vector<std::string> screenArgs{
      "Radio", "Device Error",
      "Sorry, The Radio failed to initialize. Check settings.\r\nCheck Connections. (Restart "
      "Required)",
      "True"};
  EXPECT_FALSE(radio_->Check());
  EXPECT_FALSE(radio_->Check());
  ASSERT_EQ(sdk_->errscrns.size(), 2u);
  EXPECT_EQ(sdk_->errscrns[0], screenArgs);
  // Everything later is skipped while the tuner is not ready.
  ClearCalls();
  bool on = true;
  radio_->SetActive(on);
  mod().TuneUp();
  mod().SeekUp();
  mod().PollStatus();
  EXPECT_TRUE(Trace().empty());
  EXPECT_FALSE(radio_->IsActive());
}

TEST_F(RadioLifecycle, NegativeInitializeCodeIsLoggedWithItsSign) {
  sdk_->Var("RadioDebug", Variant(true));
  driver_->script.results["radioInitialize"] = -7;
  Start();
  EXPECT_EQ(sdk_->log.back(), "Halvane---> Initialize failed return code:-7");
}

TEST_F(RadioLifecycle, NoDriverLibraryAtAllLeavesTheRadioStopped) {
  testing_support::TempDir empty;
  sdk_->Var("DMPath", Variant(empty.path() + "/"));
  sdk_->Var("RadioDebug", Variant(true));
  Start();
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(sdk_->log.back(), "Halvane---> Initialize failed return code:-1");
  EXPECT_FALSE(radio_->Check());
  EXPECT_EQ(sdk_->errscrns.size(), 1u);
}

TEST_F(RadioLifecycle, EmptyHostFolderLeavesABareRelativeDriverPath) {
  sdk_->Var("DMPath", Variant(""));
  Start();
  EXPECT_EQ(mod().driverPath(), "RadioModules/Halvane/Radio_IO.so");
  EXPECT_FALSE(mod().radioReady());
}

TEST_F(RadioLifecycle, FailingHostVariablesAreSkippedStepByStep) {
  sdk_->failingVars = {"=$RadioDebug$", "=$Userbds$"};
  Start();
  EXPECT_EQ(Trace(), kStartCalls);
  EXPECT_FALSE(mod().debugEnabled());
  EXPECT_FALSE(mod().useRbds());
}

// Both switches of the start are numbers in the user's locale: ",5" is a half in German, and
// no number at all where "," groups digits.
TEST_F(RadioLifecycle, TheSwitchesAreReadInTheUsersLocale) {
  for (const bool german : {false, true}) {
    SCOPED_TRACE(german);
    if (german) SetLocale(",", ".", 1031);
    sdk_->Var("RadioDebug", Variant(",5"));
    sdk_->Var("Userbds", Variant(",5"));
    radio_->StopRadio();
    Start();
    EXPECT_EQ(mod().debugEnabled(), german);
    EXPECT_EQ(mod().useRbds(), german);
  }
}

TEST_F(RadioLifecycle, SecondStartMakesNoDriverCall) {
  Start();
  ClearCalls();
  Start();
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(driver_->initializeCount, 1);
}

TEST_F(RadioLifecycle, RbdsByLocaleOrByHostSwitch) {
  SetLocale(".", ",", 1033);
  Start();
  EXPECT_TRUE(mod().useRbds());
  radio_->StopRadio();

  SetLocale(",", ".", 1031);
  sdk_->Var("Userbds", Variant(false));  // unset, the switch would keep the last start's value
  Start();
  EXPECT_FALSE(mod().useRbds());
  radio_->StopRadio();

  sdk_->Var("Userbds", Variant("True"));
  Start();
  EXPECT_TRUE(mod().useRbds());
}

TEST_F(RadioLifecycle, SetActiveBeforeAStartDoesNothing) {
  Activate(true);
  Activate(false);
  EXPECT_TRUE(Trace().empty());
  EXPECT_FALSE(radio_->IsActive());
}

TEST_F(RadioLifecycle, SetActiveUnmutesAndRetunesThenMutesAgain) {
  Start();
  ClearCalls();
  Activate(true);
  EXPECT_TRUE(radio_->IsActive());
  EXPECT_EQ(Trace(), (Calls{"VolumeMute(0,0)", "RDS_Stop(0)", "radioSetFrequency(0,87500000)",
                            "RDS_Start(0)"}));
  ClearCalls();
  Activate(false);
  EXPECT_FALSE(radio_->IsActive());
  EXPECT_EQ(Trace(), (Calls{"VolumeMute(0,1)"}));
  EXPECT_TRUE(testing_support::FileExists(CacheDir() + "Radio.ini"));  // saved on deactivation
}

TEST_F(RadioLifecycle, StopSavesThePresetsBeforeReleasingTheDriver) {
  StartActive();
  // The list file appears only after the stop; the driver is released last.
  ASSERT_FALSE(testing_support::FileExists(CacheDir() + "Radio.ini"));
  radio_->StopRadio();
  EXPECT_EQ(Trace(), (Calls{"radioUninitialize()"}));
  EXPECT_TRUE(testing_support::FileExists(CacheDir() + "Radio.ini"));
  EXPECT_FALSE(mod().radioReady());
  EXPECT_FALSE(radio_->IsActive());
  ClearCalls();
  radio_->StopRadio();  // stopped: no driver call
  EXPECT_TRUE(Trace().empty());
  Start();  // and it starts again
  EXPECT_EQ(driver_->initializeCount, 2);
}

TEST_F(RadioLifecycle, MuteAndToggleMute) {
  StartActive();
  mod().ToggleMute();
  mod().ToggleMute();
  mod().SetMute(true);
  EXPECT_EQ(Trace(), (Calls{"VolumeMute(0,1)", "VolumeMute(0,0)", "VolumeMute(0,1)"}));
  EXPECT_TRUE(mod().muted());
}

}  // namespace
