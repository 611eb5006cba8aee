#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "halvane/errors.h"
#include "skin_fixture.h"

namespace {

using halvane::CallKind;
using halvane::SModes;
using halvane::Variant;
using skin_test::SkinTest;
using testing_support::WriteFile;

class Indicators : public SkinTest {
 protected:
  // Answers "skinpath" from `skinPath`, counting the calls.
  void HookSkinPath() {
    sdk_->Define("GetUserVar", [this](CallKind, std::span<Variant> a) {
      ++userVarCalls_;
      if (a[0].ToString() != "skinpath") halvane::Raise(halvane::kInvalidCall, "GetUserVar");
      return Variant(skinPath_);
    });
  }
  std::string Answer(const std::string& keyword) {
    auto a = Indicator(keyword);
    EXPECT_EQ(a.keyword, keyword);  // IND is never changed
    return a.result;
  }
  std::string Skin() const { return dir_->path() + "/skin/"; }

  std::string skinPath_;
  int userVarCalls_ = 0;
};

TEST_F(Indicators, OnlyStereoAsksTheDriverAndItAsksEveryTime) {
  StartActive();
  driver_->script.stateFlags = 0x02;
  EXPECT_EQ(Answer("stereo"), "True");
  driver_->script.stateFlags = 0xFD;  // every flag but stereo
  EXPECT_EQ(Answer("STEREO"), "False");
  EXPECT_EQ(Trace(), (std::vector<std::string>{"radioGetState(0,0)", "radioGetState(0,0)"}));
  ClearCalls();
  for (const char* k : {"fmam", "radiomute", "rdsta", "rdstp", "rdsms", "radioart", "presetmode",
                        "seekmode", "local", "scan", "surf", "searchpresets", "status"})
    Answer(k);
  EXPECT_TRUE(Trace().empty());
  radio_->StopRadio();
  ClearCalls();
  driver_->script.stateFlags = 0x02;
  EXPECT_EQ(Answer("stereo"), "False");  // not ready: no driver call
  EXPECT_TRUE(Trace().empty());
}

TEST_F(Indicators, BandMuteAndRdsFlags) {
  Start();  // inactive: these answer all the same
  Receive(8750);
  EXPECT_EQ(Answer("fmam"), "True");
  Receive(8749);
  EXPECT_EQ(Answer("FmAm"), "False");
  EXPECT_EQ(Answer("radiomute"), "True");
  Activate(true);
  EXPECT_EQ(Answer("radiomute"), "False");
  RdsRecord record = Record(0x1234, 1, "", "");
  record.tp = 0x80;
  SendRds(record);
  EXPECT_EQ(Answer("rdsta"), "False");
  EXPECT_EQ(Answer("rdstp"), "True");
  EXPECT_EQ(Answer("rdsms"), "False");
  record.ta = 1;
  record.ms = 1;
  SendRds(record);
  EXPECT_EQ(Answer("rdsta"), "True");
  EXPECT_EQ(Answer("rdsms"), "True");
  SendRds(std::nullopt);
  for (const char* k : {"rdsta", "rdstp", "rdsms"}) EXPECT_EQ(Answer(k), "False") << k;
}

TEST_F(Indicators, ModesAndSearches) {
  Start();
  radio_->SeekMode(true);
  EXPECT_EQ(Answer("seekmode"), "True");
  EXPECT_EQ(Answer("presetmode"), "False");
  EXPECT_EQ(Answer("local"), "False");
  radio_->PresetMode(true);
  radio_->LocalMode(true);
  EXPECT_EQ(Answer("presetmode"), "True");
  EXPECT_EQ(Answer("Local"), "True");
  struct Case {
    SModes mode;
    const char *scan, *surf, *learn;
  };
  for (const Case& c :
       {Case{SModes::Disabled, "False", "False", "False"},
        Case{SModes::Surf, "False", "True", "False"}, Case{SModes::Scan, "True", "False", "False"},
        Case{SModes::PresetLearn, "False", "False", "True"}}) {
    radio_->SearchMode(c.mode);
    EXPECT_EQ(Answer("scan"), c.scan);
    EXPECT_EQ(Answer("surf"), c.surf);
    EXPECT_EQ(Answer("searchpresets"), c.learn);
  }
}

TEST_F(Indicators, UnknownAndLabelOnlyKeywordsAreEmpty) {
  StartActive();
  for (const char* k : {"", "frequency", "rsignal", "trackname", " stereo"})
    EXPECT_EQ(Answer(k), "") << k;
}

TEST_F(Indicators, StatusPictureIsPngThenGifFromTheSkinFolderOnlyWhileActive) {
  HookSkinPath();
  skinPath_ = Skin();
  std::filesystem::create_directories(Skin() + "muted.png");  // a folder is no picture
  WriteFile(Skin() + "unmuted.png", "png");
  WriteFile(Skin() + "unmuted.gif", "gif");
  WriteFile(Skin() + "muted.gif", "gif");
  Start();
  EXPECT_EQ(Answer("status"), "");
  EXPECT_EQ(userVarCalls_, 0);
  Activate(true);
  EXPECT_EQ(Answer("Status"), Skin() + "unmuted.png");
  std::filesystem::remove(Skin() + "unmuted.png");
  EXPECT_EQ(Answer("status"), Skin() + "unmuted.gif");
  Tuner().SetMute(true);
  EXPECT_EQ(Answer("status"), Skin() + "muted.gif");
  std::filesystem::remove(Skin() + "muted.gif");
  EXPECT_EQ(Answer("status"), "");
  skinPath_ = Skin() + "theme-";  // glued on without a separator
  WriteFile(Skin() + "theme-muted.gif", "gif");
  EXPECT_EQ(Answer("status"), Skin() + "theme-muted.gif");
}

TEST_F(Indicators, AFailingSkinFolderQueryFailsTheCall) {
  sdk_->Remove("GetUserVar");
  StartActive();
  try {
    Answer("status");
    FAIL() << "no error";
  } catch (const halvane::RuntimeError& e) {
    EXPECT_EQ(e.number(), halvane::kNoMember);
  }
}

TEST_F(Indicators, RadioArtIsTheArtworkLookup) {
  sdk_->Var("dmartpath", Variant(dir_->path() + "/"));
  std::filesystem::create_directories(dir_->path() + "/RadioArt");
  WriteFile(dir_->path() + "/RadioArt/radio.gif", "gif");
  Start();
  EXPECT_EQ(Answer("radioart"), "");
  Activate(true);
  EXPECT_EQ(Answer("RadioArt"), dir_->path() + "/RadioArt/radio.gif");
}

TEST_F(Indicators, SignalSliderIsTheRawLevelAndOtherSlidersMinusOne) {
  for (const char* k : {"", "volume", "rsignal ", "signal"}) EXPECT_EQ(Slider(k), -1) << k;
  EXPECT_EQ(Slider("rsignal"), 0);  // not started
  Start();
  for (int16_t level = 0; level < 16; ++level) {
    Receive(8750, static_cast<uint32_t>(level));
    EXPECT_EQ(Slider(level % 2 ? "RSignal" : "rsignal"), (15 - level) * 4369) << level;
  }
  for (const char* k : {"", "volume", "rsignal ", "signal"}) EXPECT_EQ(Slider(k), -1) << k;
}

}  // namespace
