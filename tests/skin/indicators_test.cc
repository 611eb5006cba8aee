#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "halvane/errors.h"
#include "skin_fixture.h"

namespace {

using halvane::CallKind;
using halvane::SModes;
using halvane::Variant;
using skin_test::SkinTest;
using testing_support::WriteFile;

const char* const kFlagIndicators[] = {"stereo", "fmam",  "radiomute",  "rdsta",
                                       "rdstp",  "rdsms", "presetmode", "seekmode",
                                       "local",  "scan",  "surf",       "searchpresets"};

class Indicators : public SkinTest {
 protected:
  // Answers "skinpath" from `skinPath` and counts the host calls.
  void HookSkinPath() {
    sdk->Define("GetUserVar", [this](CallKind, std::span<Variant> a) {
      ++userVarCalls;
      asked = a[0].ToString();
      if (failUserVar) halvane::Raise(halvane::kInvalidCall, "GetUserVar");
      return Variant(skinPath);
    });
  }
  std::string Skin() const { return dir->path() + "/skin/"; }
  std::string Answer(const std::string& keyword) { return Indicator(keyword).result; }

  std::string skinPath;
  std::string asked;
  bool failUserVar = false;
  int userVarCalls = 0;
};

TEST_F(Indicators, StereoAsksTheDriverOnEveryQuery) {
  StartActive();
  driver->script.stateFlags = 0x02;
  EXPECT_EQ(Answer("stereo"), "True");
  driver->script.stateFlags = 0xFD;  // every flag but stereo
  EXPECT_EQ(Answer("Stereo"), "False");
  EXPECT_EQ(Trace(), (std::vector<std::string>{"radioGetState(0,0)", "radioGetState(0,0)"}));
}

TEST_F(Indicators, StereoIsFalseWhenTheDriverFailsOrTheTunerIsNotReady) {
  StartActive();
  driver->script.stateFlags = 0x02;
  driver->script.failing.insert("radioGetState");
  EXPECT_EQ(Answer("stereo"), "False");
  radio->StopRadio();
  driver->script.failing.clear();
  ClearCalls();
  EXPECT_EQ(Answer("stereo"), "False");
  EXPECT_TRUE(Trace().empty());
}

TEST_F(Indicators, NoIndicatorButStereoCallsTheDriver) {
  StartActive();
  for (const char* k : kFlagIndicators)
    if (std::string(k) != "stereo") Answer(k);
  Answer("radioart");
  Answer("status");
  EXPECT_TRUE(Trace().empty());
}

TEST_F(Indicators, BandAndMuteFlags) {
  StartActive();
  Tuner().currentFreq = 8750;
  EXPECT_EQ(Answer("fmam"), "True");
  Tuner().currentFreq = 8749;
  EXPECT_EQ(Answer("FMAM"), "False");
  Tuner().currentFreq = 1000;
  EXPECT_EQ(Answer("fmam"), "False");
  EXPECT_EQ(Answer("radiomute"), "False");
  Tuner().SetMute(true);
  EXPECT_EQ(Answer("radiomute"), "True");
}

TEST_F(Indicators, RdsFlagsReadTheRecordOnlyWhileItIsValid) {
  StartActive();
  SetRds(0x1234, 1, "", "");
  EXPECT_EQ(Answer("rdsta"), "False");
  EXPECT_EQ(Answer("rdstp"), "False");
  EXPECT_EQ(Answer("rdsms"), "False");
  Tuner().rdsData.ta = 1;
  EXPECT_EQ(Answer("rdsta"), "True");
  EXPECT_EQ(Answer("rdstp"), "False");
  Tuner().rdsData.tp = 0x80;
  EXPECT_EQ(Answer("rdstp"), "True");
  Tuner().rdsData.ms = 1;
  EXPECT_EQ(Answer("rdsms"), "True");
  Tuner().rdsValid = false;
  EXPECT_EQ(Answer("rdsta"), "False");
  EXPECT_EQ(Answer("rdstp"), "False");
  EXPECT_EQ(Answer("rdsms"), "False");
}

TEST_F(Indicators, ModeSwitchesFollowTheProperties) {
  Start();
  EXPECT_EQ(Answer("presetmode"), "False");
  EXPECT_EQ(Answer("seekmode"), "False");
  EXPECT_EQ(Answer("local"), "False");
  radio->PresetMode(true);
  EXPECT_EQ(Answer("presetmode"), "True");
  EXPECT_EQ(Answer("seekmode"), "False");
  radio->SeekMode(true);
  EXPECT_EQ(Answer("seekmode"), "True");
  radio->LocalMode(true);
  EXPECT_EQ(Answer("Local"), "True");
}

TEST_F(Indicators, EachSearchModeLightsItsOwnIndicatorOnly) {
  Start();
  struct Case {
    SModes mode;
    const char *scan, *surf, *learn;
  };
  for (const Case& c :
       {Case{SModes::Disabled, "False", "False", "False"},
        Case{SModes::Surf, "False", "True", "False"}, Case{SModes::Scan, "True", "False", "False"},
        Case{SModes::PresetLearn, "False", "False", "True"}}) {
    radio->SearchMode(c.mode);
    EXPECT_EQ(Answer("scan"), c.scan);
    EXPECT_EQ(Answer("surf"), c.surf);
    EXPECT_EQ(Answer("searchpresets"), c.learn);
  }
}

TEST_F(Indicators, FlagsAnswerTheSameActiveOrInactiveAndNeverChangeTheKeyword) {
  Start();
  radio->SeekMode(true);
  std::vector<std::string> inactive;
  for (const char* k : kFlagIndicators) {
    auto a = Indicator(k);
    EXPECT_EQ(a.keyword, k);
    inactive.push_back(a.result);
  }
  Activate(true);
  Tuner().SetMute(true);  // activation unmuted; put the inactive state back
  for (size_t i = 0; i < std::size(kFlagIndicators); ++i) {
    auto a = Indicator(kFlagIndicators[i]);
    EXPECT_EQ(a.keyword, kFlagIndicators[i]);
    EXPECT_EQ(a.result, inactive[i]) << kFlagIndicators[i];
  }
}

TEST_F(Indicators, UnknownAndLabelOnlyKeywordsAreEmpty) {
  StartActive();
  for (const char* k : {"", "frequency", "rsignal", "trackname", "volume", " stereo"})
    EXPECT_EQ(Answer(k), "") << k;
}

TEST_F(Indicators, StatusIsEmptyWhileInactiveWithoutAskingTheHost) {
  HookSkinPath();
  skinPath = Skin();
  std::filesystem::create_directories(Skin());
  WriteFile(Skin() + "muted.png", "png");
  Start();
  auto a = Indicator("status");
  EXPECT_EQ(a.result, "");
  EXPECT_EQ(a.keyword, "status");
  EXPECT_EQ(userVarCalls, 0);
}

TEST_F(Indicators, StatusPrefersPngThenGifInTheSkinFolder) {
  HookSkinPath();
  skinPath = Skin();
  std::filesystem::create_directories(Skin());
  StartActive();
  WriteFile(Skin() + "unmuted.png", "png");
  WriteFile(Skin() + "unmuted.gif", "gif");
  WriteFile(Skin() + "muted.gif", "gif");
  auto a = Indicator("Status");
  EXPECT_EQ(a.result, Skin() + "unmuted.png");
  EXPECT_EQ(a.keyword, "Status");
  EXPECT_EQ(asked, "skinpath");
  std::filesystem::remove(Skin() + "unmuted.png");
  EXPECT_EQ(Answer("status"), Skin() + "unmuted.gif");
  Tuner().SetMute(true);
  EXPECT_EQ(Answer("status"), Skin() + "muted.gif");
  std::filesystem::remove(Skin() + "muted.gif");
  EXPECT_EQ(Answer("status"), "");
  EXPECT_EQ(userVarCalls, 4);
}

TEST_F(Indicators, StatusGluesTheNameToTheSkinFolderAsGiven) {
  HookSkinPath();
  skinPath = dir->path() + "/theme-";
  WriteFile(dir->path() + "/theme-unmuted.gif", "gif");
  StartActive();
  EXPECT_EQ(Answer("status"), dir->path() + "/theme-unmuted.gif");
}

TEST_F(Indicators, StatusIgnoresAFolderNamedLikeThePicture) {
  HookSkinPath();
  skinPath = Skin();
  std::filesystem::create_directories(Skin() + "unmuted.png");
  WriteFile(Skin() + "unmuted.gif", "gif");
  StartActive();
  EXPECT_EQ(Answer("status"), Skin() + "unmuted.gif");
}

TEST_F(Indicators, AFailingSkinFolderQueryFailsTheCall) {
  HookSkinPath();
  failUserVar = true;
  StartActive();
  try {
    Answer("status");
    FAIL() << "no error";
  } catch (const halvane::RuntimeError& e) {
    EXPECT_EQ(e.number(), halvane::kInvalidCall);
  }
}

TEST_F(Indicators, RadioArtIsTheArtworkLookup) {
  sdk->Var("dmartpath", Variant(dir->path() + "/art/"));
  std::filesystem::create_directories(dir->path() + "/art/RadioArt");
  WriteFile(dir->path() + "/art/RadioArt/radio.gif", "gif");
  Start();
  EXPECT_EQ(Answer("radioart"), "");
  Activate(true);
  EXPECT_EQ(Answer("RadioArt"), dir->path() + "/art/RadioArt/radio.gif");
}

TEST_F(Indicators, SignalSliderGivesTheRawLevel) {
  Start();
  for (int16_t level = 0; level < 16; ++level) {
    Tuner().decoderLevel = level;
    EXPECT_EQ(Slider("rsignal"), (15 - level) * 4369) << level;
  }
  Tuner().decoderLevel = 0;
  EXPECT_EQ(Slider("RSIGNAL"), 65535);
  radio->StopRadio();
  EXPECT_EQ(Slider("rsignal"), 0);
}

TEST_F(Indicators, OtherSlidersAreMinusOneWhateverTheState) {
  for (const char* k : {"", "volume", "frequency", "rsignal ", "signal"}) EXPECT_EQ(Slider(k), -1);
  StartActive();
  for (const char* k : {"", "volume", "frequency", "rsignal ", "signal"}) EXPECT_EQ(Slider(k), -1);
}

}  // namespace
