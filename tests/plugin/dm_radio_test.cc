#include <gtest/gtest.h>

#include "error_of.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "plugin_fixture.h"

namespace {

using namespace halvane;
using testing_support::PluginTest;

class DMRadioTest : public PluginTest {};

TEST_F(DMRadioTest, NewObjectNamesItselfJoinsTheModulesAndPolls) {
  EXPECT_EQ(radio_->GetName(), "Halvane 600");
  EXPECT_EQ(radio_->TunerType(), TunerTypes::RDSAdvanced);
  EXPECT_EQ(component_->context().Sdk(), sdk_);
  EXPECT_EQ(component_->context().SettingsOwner(), radio_.get());
  EXPECT_EQ(radio_->StatusTimer()->Interval(), 100);
  EXPECT_TRUE(radio_->StatusTimer()->Enabled());
}

TEST_F(DMRadioTest, WithoutAHostSdkTheObjectIsStillCreatedAndCheckFails) {
  radio_.reset();
  RevokeClassObject(HALVANE_SDK_PROGID);
  radio_ = std::make_shared<DMRadio>(*component_);
  EXPECT_EQ(component_->context().Sdk(), nullptr);
  EXPECT_EQ(radio_->GetName(), "Halvane 600");
  radio_->StartRadio();  // no driver path: the start fails quietly
  EXPECT_TRUE(Trace().empty());
  try {
    radio_->Check();
    FAIL() << "Check without a host object must fail";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kNoObject);
  }
}

TEST_F(DMRadioTest, DestructionClearsTheModuleReferences) {
  radio_.reset();
  EXPECT_EQ(component_->context().SettingsOwner(), nullptr);
  EXPECT_EQ(component_->context().Sdk(), nullptr);
  // The modules then have no plug-in settings to read.
  EXPECT_EQ(testing_support::ErrorOf([&] { component_->presets().SavePresets(); }), 0);
  EXPECT_EQ(testing_support::ErrorOf([&] { component_->context().Settings(); }), kNoObject);
}

TEST_F(DMRadioTest, StatusTimerPollsEveryHundredMilliseconds) {
  Start();
  ClearCalls();
  const auto polls = [&] {
    int count = 0;
    for (const auto& name : driver_->Names()) count += name == "RDS_EvalData";
    return count;
  };
  // Five polls take at least 400 ms after the first; a busy machine may make it longer.
  int64_t elapsed = 0;
  EXPECT_TRUE(context_->RunUntil([&] { return polls() >= 5; }, &elapsed));
  EXPECT_GE(elapsed, 400);
}

TEST_F(DMRadioTest, PropertiesAndMethodsByName) {
  PutProperty(radio_, "seekmode", Variant(true));
  EXPECT_TRUE(radio_->SeekMode());
  PutProperty(radio_, "SearchMode", Variant(int32_t{2}));
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);
  PutProperty(radio_, "ConfigPath", Variant("/x/"));
  EXPECT_EQ(GetProperty(radio_, "configpath").ToString(), "/x/");
  EXPECT_EQ(GetProperty(radio_, "GetName").ToString(), "Halvane 600");
  EXPECT_EQ(GetProperty(radio_, "TunerType").ToInt32(), 3);
  EXPECT_FALSE(GetProperty(radio_, "IsActive").ToBool());
  EXPECT_EQ(GetProperty(radio_, "Freq").ToInt32(), 0);
  try {
    GetProperty(radio_, "NoSuchMember");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kNoMember);
  }
}

TEST_F(DMRadioTest, StopAndSetActiveAlwaysEndTheSearchEvenWhenNotReady) {
  radio_->SearchMode(SModes::Scan);
  radio_->search().SurfTimer()->Interval(1000);
  radio_->search().SurfTimer()->Enabled(true);
  radio_->StopRadio();
  EXPECT_EQ(radio_->SearchMode(), SModes::Disabled);
  EXPECT_FALSE(radio_->search().SurfTimer()->Enabled());
  radio_->SearchMode(SModes::Surf);
  radio_->search().SurfTimer()->Enabled(true);
  bool on = true;
  radio_->SetActive(on);
  EXPECT_EQ(radio_->SearchMode(), SModes::Disabled);
  EXPECT_FALSE(radio_->search().SurfTimer()->Enabled());
  EXPECT_FALSE(radio_->IsActive());
  EXPECT_TRUE(Trace().empty());
}

TEST_F(DMRadioTest, TuneRefreshAndRecallDoNothingWhileInactive) {
  Start();
  ClearCalls();
  radio_->SearchMode(SModes::Scan);
  int32_t f = 9580;
  radio_->Tune(f);
  int16_t p = 1;
  radio_->PresetRecall(p);
  std::shared_ptr<Dispatch> frm = screen_;
  radio_->Refresh(frm);
  EXPECT_TRUE(Trace().empty());
  EXPECT_TRUE(screen_->events.empty());
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);
}

TEST_F(DMRadioTest, TuneWhileActiveStopsTheSearchAndTunes) {
  StartActive();
  radio_->SearchMode(SModes::Scan);
  radio_->search().SurfTimer()->Interval(1000);
  radio_->search().SurfTimer()->Enabled(true);
  int32_t f = 9580;
  radio_->Tune(f);
  EXPECT_EQ(radio_->SearchMode(), SModes::Disabled);
  EXPECT_FALSE(radio_->search().SurfTimer()->Enabled());
  EXPECT_EQ(Trace(), (std::vector<std::string>{"RDS_Stop(0)", "radioSetFrequency(0,95800000)",
                                               "RDS_Start(0)"}));
  EXPECT_EQ(radio_->Freq(), 9580);
}

TEST_F(DMRadioTest, PresetRecallOfTheCurrentPresetDoesNothing) {
  StartActive();
  component_->presets().ResetPresets();
  component_->presets().AddPreset("One");
  component_->presets().AddPreset("Two");
  component_->presets().RecallPreset(2);
  ClearCalls();
  radio_->SearchMode(SModes::Surf);
  radio_->search().SurfTimer()->Enabled(true);
  int16_t p = 2;
  radio_->PresetRecall(p);
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
  EXPECT_TRUE(Trace().empty());
}

}  // namespace
