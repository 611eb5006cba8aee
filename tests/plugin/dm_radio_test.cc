#include <gtest/gtest.h>

#include "error_of.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "plugin_fixture.h"

namespace {

using namespace halvane;
using testing_support::PluginTest;

class DMRadioTest : public PluginTest {};

TEST_F(DMRadioTest, NewObjectIdentityAndState) {
  EXPECT_EQ(radio->GetName(), "Halvane 600");
  EXPECT_EQ(radio->TunerType(), TunerTypes::RDSAdvanced);
  EXPECT_FALSE(radio->IsActive());
  EXPECT_EQ(radio->Freq(), 0);
  EXPECT_EQ(radio->SearchMode(), SModes::Disabled);
  EXPECT_FALSE(radio->SeekMode());
  EXPECT_FALSE(radio->LocalMode());
  EXPECT_FALSE(radio->PresetMode());
  EXPECT_FALSE(radio->RDSTAEnabled());
  EXPECT_EQ(component->context().Sdk(), sdk);
  EXPECT_EQ(component->context().SettingsOwner(), radio.get());
  EXPECT_EQ(radio->StatusTimer()->Interval(), 100);
  EXPECT_TRUE(radio->StatusTimer()->Enabled());
  EXPECT_FALSE(radio->search().SurfTimer()->Enabled());
  EXPECT_EQ(radio->search().SurfTimer()->Interval(), 0);
}

TEST_F(DMRadioTest, WithoutAHostSdkTheObjectIsStillCreatedAndCheckFails) {
  radio.reset();
  RevokeClassObject(HALVANE_SDK_PROGID);
  radio = std::make_shared<DMRadio>(*component);
  EXPECT_EQ(component->context().Sdk(), nullptr);
  EXPECT_EQ(radio->GetName(), "Halvane 600");
  radio->StartRadio();  // no driver path: the start fails quietly
  EXPECT_TRUE(Trace().empty());
  try {
    radio->Check();
    FAIL() << "Check without a host object must fail";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kNoObject);
  }
}

TEST_F(DMRadioTest, DestructionClearsTheModuleReferences) {
  radio.reset();
  EXPECT_EQ(component->context().SettingsOwner(), nullptr);
  EXPECT_EQ(component->context().Sdk(), nullptr);
  // The modules then have no plug-in settings to read.
  EXPECT_EQ(testing_support::ErrorOf([&] { component->presets().SavePresets(); }), 0);
  EXPECT_EQ(testing_support::ErrorOf([&] { component->context().Settings(); }), kNoObject);
}

TEST_F(DMRadioTest, StatusTimerPollsEveryHundredMilliseconds) {
  Start();
  ClearCalls();
  context->RunFor(550);
  int polls = 0;
  for (const auto& name : driver->Names()) polls += name == "RDS_EvalData";
  EXPECT_GE(polls, 2);  // about five; a loaded machine may delay some
  EXPECT_LE(polls, 6);
}

TEST_F(DMRadioTest, PropertiesAndMethodsByName) {
  PutProperty(radio, "seekmode", Variant(true));
  EXPECT_TRUE(radio->SeekMode());
  PutProperty(radio, "SearchMode", Variant(int32_t{2}));
  EXPECT_EQ(radio->SearchMode(), SModes::Scan);
  PutProperty(radio, "ConfigPath", Variant("/x/"));
  EXPECT_EQ(GetProperty(radio, "configpath").ToString(), "/x/");
  EXPECT_EQ(GetProperty(radio, "GetName").ToString(), "Halvane 600");
  EXPECT_EQ(GetProperty(radio, "TunerType").ToInt32(), 3);
  EXPECT_FALSE(GetProperty(radio, "IsActive").ToBool());
  EXPECT_EQ(GetProperty(radio, "Freq").ToInt32(), 0);
  try {
    GetProperty(radio, "NoSuchMember");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kNoMember);
  }
}

TEST_F(DMRadioTest, StopAndSetActiveAlwaysEndTheSearchEvenWhenNotReady) {
  radio->SearchMode(SModes::Scan);
  radio->search().SurfTimer()->Interval(1000);
  radio->search().SurfTimer()->Enabled(true);
  radio->StopRadio();
  EXPECT_EQ(radio->SearchMode(), SModes::Disabled);
  EXPECT_FALSE(radio->search().SurfTimer()->Enabled());
  radio->SearchMode(SModes::Surf);
  radio->search().SurfTimer()->Enabled(true);
  bool on = true;
  radio->SetActive(on);
  EXPECT_EQ(radio->SearchMode(), SModes::Disabled);
  EXPECT_FALSE(radio->search().SurfTimer()->Enabled());
  EXPECT_FALSE(radio->IsActive());
  EXPECT_TRUE(Trace().empty());
}

TEST_F(DMRadioTest, TuneRefreshAndRecallDoNothingWhileInactive) {
  Start();
  ClearCalls();
  radio->SearchMode(SModes::Scan);
  int32_t f = 9580;
  radio->Tune(f);
  int16_t p = 1;
  radio->PresetRecall(p);
  std::shared_ptr<Dispatch> frm = screen;
  radio->Refresh(frm);
  EXPECT_TRUE(Trace().empty());
  EXPECT_TRUE(screen->events.empty());
  EXPECT_EQ(radio->SearchMode(), SModes::Scan);
}

TEST_F(DMRadioTest, TuneWhileActiveStopsTheSearchAndTunes) {
  StartActive();
  radio->SearchMode(SModes::Scan);
  radio->search().SurfTimer()->Interval(1000);
  radio->search().SurfTimer()->Enabled(true);
  int32_t f = 9580;
  radio->Tune(f);
  EXPECT_EQ(radio->SearchMode(), SModes::Disabled);
  EXPECT_FALSE(radio->search().SurfTimer()->Enabled());
  EXPECT_EQ(Trace(), (std::vector<std::string>{"RDS_Stop(0)", "radioSetFrequency(0,95800000)",
                                               "RDS_Start(0)"}));
  EXPECT_EQ(radio->Freq(), 9580);
}

TEST_F(DMRadioTest, PresetRecallOfTheCurrentPresetDoesNothing) {
  StartActive();
  component->presets().ResetPresets();
  component->presets().AddPreset("One");
  component->presets().AddPreset("Two");
  component->presets().RecallPreset(2);
  ClearCalls();
  radio->SearchMode(SModes::Surf);
  radio->search().SurfTimer()->Enabled(true);
  int16_t p = 2;
  radio->PresetRecall(p);
  EXPECT_EQ(radio->SearchMode(), SModes::Surf);
  EXPECT_TRUE(Trace().empty());
}

}  // namespace
