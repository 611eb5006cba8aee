// The plug-in with the simulated driver as its tuner: what a user of the radio screen sees.
#include <dlfcn.h>
#include <stdlib.h>

#include "plugin_fixture.h"

namespace {

// The folder the plug-in is told the host lives in; the driver sits under RadioModules/Halvane.
constexpr const char* kHostFolder = HALVANE_SIM_HOST_FOLDER "/";

constexpr const char* kBand = R"(
[station]
frequency = 87.5 MHz
level = 2
pi = 1A01
ps = "LOWEND  "
[station]
frequency = 89.3 MHz
level = 1
pi = D3C2
ps = NORDWAVE
af = 91.0 MHz, 99.5 MHz
ptyn = JAZZ
rt = {artist:Nina Simone} - {title:Feeling Good}
[station City]
frequency = 101.1 MHz
pi = 5C11
ps = "CITY FM "
tp = yes
rt = City FM: the news on the hour
eon = 6A22
[station Road traffic]
frequency = 94.2 MHz
level = 3
pi = 6A22
ps = ROADINFO
pty = 3
tp = yes
ta = toggle
ta_period = 8
af = 94.5 MHz
[station]
frequency = 107.9 MHz
level = 2
pi = 1A79
ps = "TOPEND  "
)";

class PluginWithSimDriver : public testing_support::PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    testing_support::WriteFile(*dir_ / "stations.ini", kBand);
    setenv("HALVANE_STATIONS", (*dir_ / "stations.ini").c_str(), 1);
    sdk_->Var("DMPath", halvane::Variant(std::string(kHostFolder)));
    // The same path the plug-in loads, so the same library and the same tuner.
    driver_ =
        dlopen((std::string(kHostFolder) + "RadioModules/Halvane/Radio_IO.so").c_str(), RTLD_NOW);
    ASSERT_NE(driver_, nullptr) << dlerror();
    Hook<void()>("HalvaneSimReset")();
    Hook<int32_t(int32_t)>("HalvaneSimUseManualClock")(1);
  }

  void TearDown() override {
    if (driver_ != nullptr) Hook<void()>("HalvaneSimReset")();
    unsetenv("HALVANE_STATIONS");
    PluginTest::TearDown();
  }

  template <class F>
  F* Hook(const char* name) {
    return reinterpret_cast<F*>(dlsym(driver_, name));
  }

  // The driver's clock moves on; the plug-in polls every 100 ms meanwhile.
  void Play(int ms) {
    for (int t = 0; t < ms; t += 100) {
      Hook<int32_t(int32_t)>("HalvaneSimAdvanceClock")(100);
      component_->radio().PollStatus();
    }
  }

  std::string Label(std::string name) {
    std::string format;
    return radio_->ReturnLabel(name, format);
  }

  void* driver_ = nullptr;
};

TEST_F(PluginWithSimDriver, RdsNameFillsInAfterStartAndAfterASeek) {
  StartActive();
  EXPECT_EQ(radio_->Freq(), 8750);
  Play(200);
  const std::string early = component_->radio().RdsName();
  // Two name segments at most so far: the name's own characters where they arrived, blanks
  // elsewhere.
  const std::string name = "LOWEND  ";
  ASSERT_EQ(early.size(), name.size());
  EXPECT_NE(early, name);
  for (size_t i = 0; i < name.size(); ++i)
    EXPECT_TRUE(early[i] == name[i] || early[i] == ' ') << "'" << early << "'";
  Play(1000);
  EXPECT_EQ(component_->radio().RdsName(), "LOWEND  ");
  EXPECT_EQ(Label("rdsname"), "LOWEND  ");

  Command("seekup", screen_);
  EXPECT_EQ(radio_->Freq(), 8930);
  Play(2000);  // a name sent every other group (RadioText between), each segment twice
  EXPECT_EQ(component_->radio().RdsName(), "NORDWAVE");
  EXPECT_EQ(component_->radio().RdsPi(), std::to_string(int16_t(0xD3C2)));
  EXPECT_TRUE(component_->radio().IsStereo());
  EXPECT_EQ(component_->radio().SignalLevel(), (15 - 1) * 4369);

  Command("seekdown", screen_);
  Command("seekdown", screen_);  // off the bottom: the plug-in wraps to 107.9 MHz
  EXPECT_EQ(radio_->Freq(), 10790);
  Play(1000);
  EXPECT_EQ(component_->radio().RdsName(), "TOPEND  ");
}

// What the station sends beyond the record reaches the skin's labels through the driver's
// optional report, once each part came twice alike.
TEST_F(PluginWithSimDriver, RadioTextPlusAndOtherGroupsOnTheLabels) {
  StartActive();
  Command("seekup", screen_);
  EXPECT_EQ(Label("rdsartist"), "");
  Play(15000);
  EXPECT_EQ(Label("rdsartist"), "Nina Simone");
  EXPECT_EQ(Label("RDSTITLE"), "Feeling Good");
  EXPECT_EQ(Label("rdsptyn"), "JAZZ    ");
  EXPECT_EQ(Label("rdsaf"), "91.0 99.5");
  EXPECT_EQ(Label("rdscallletters"), "");                   // RDS names in use: no call letters
  const std::string blockErrors = Label("rdsblockerrors");  // a level 1 station loses a few
  ASSERT_FALSE(blockErrors.empty());
  EXPECT_LE(std::stoi(blockErrors), 10);
  std::string traffic = "rdstraffic";
  EXPECT_EQ(radio_->ReturnIndicatorEx(traffic), "False");
  Command("seekdown", screen_);
  Play(100);
  EXPECT_EQ(Label("rdsartist"), "");
}

// A station without an announcement of its own tells of a linked traffic programme (off 8 s, on
// 8 s, counted from the radio's start): the traffic indicator follows the linked programme's flag.
TEST_F(PluginWithSimDriver, LinkedProgrammesAnnouncementIsTraffic) {
  StartActive();
  for (int i = 0; i < 3; ++i) Command("seekup", screen_);
  ASSERT_EQ(radio_->Freq(), 10110);
  auto& tuner = component_->radio();
  std::string traffic = "rdstraffic";
  std::string ownTa = "rdsta";
  Play(6000);
  EXPECT_EQ(tuner.RdsName(), "CITY FM ");
  EXPECT_EQ(tuner.RdsExtra("eon.6A22.ps"), "ROADINFO");
  // Its list starts with the frequency it is heard on, so a radio can go there.
  EXPECT_EQ(tuner.RdsExtra("eon.6A22.af"), "94.2 94.5");
  EXPECT_EQ(tuner.RdsExtra("eon.6A22.tp"), "1");
  EXPECT_EQ(radio_->ReturnIndicatorEx(traffic), "False");
  // Each switch is told at once (14B), so the indicator follows within about 2 s.
  Play(4500);  // 10.5 s: the linked programme announces
  EXPECT_EQ(tuner.RdsExtra("eon.6A22.ta"), "1");
  EXPECT_EQ(radio_->ReturnIndicatorEx(traffic), "True");
  EXPECT_EQ(radio_->ReturnIndicatorEx(ownTa), "False");
  Play(8000);  // 18.5 s: it is over
  EXPECT_EQ(radio_->ReturnIndicatorEx(traffic), "False");
  Play(8000);  // 26.5 s: the next one
  EXPECT_EQ(radio_->ReturnIndicatorEx(traffic), "True");
  EXPECT_EQ(tuner.RdsExtra("eon.6A22.pty"), "3");  // confirmed by two of its rarer groups
}

}  // namespace
