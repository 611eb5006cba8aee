#include <gtest/gtest.h>

#include <array>
#include <string>

#include "halvane/errors.h"
#include "skin_fixture.h"

namespace {

using halvane::RuntimeError;
using skin_test::SkinTest;

const std::string kRadioText = std::string("Now playing: Blue in Green") + std::string(38, ' ');

struct Expected {
  const char* keyword;
  const char* text;
};

// Answers whether or not the radio is active, for the station set up by Tuned().
const std::array<Expected, 15> kAlways{{
    {"fmam", "FM"},
    {"mhzkhz", "MHz"},
    {"frequency", "101.5"},
    {"frequence", "101.5"},
    {"rsignal", "80%"},
    {"station", "Jazz FM"},
    {"radioname", "Jazz FM"},
    {"preset", "2"},
    {"radionumber", "2"},
    {"rdsname", "RADIO 1 "},
    {"rdstext", kRadioText.c_str()},
    {"rdspty", "10"},
    {"pty", "10"},
    {"rdsptystring", "Pop music"},
    {"rdspi", "4660"},
}};

// Answers only while active; while inactive these give "".
const std::array<Expected, 7> kWhileActive{{
    {"tagartist", "RADIO 1 "},
    {"tagalbum", kRadioText.c_str()},
    {"tagtitle", kRadioText.c_str()},
    {"trackname", "101.5 - Jazz FM"},
    {"audiotrack", "101.5 - Jazz FM"},
    {"tracknumber", "2"},
    {"status", "UNMUTED"},
}};

class Labels : public SkinTest {
 protected:
  // 101.50 MHz, decoder level 3, preset 2 "Jazz FM" current, PS "RADIO 1 ", PTY 10, PI 0x1234.
  void Tuned() {
    Tuner().currentFreq = 10150;
    Tuner().decoderLevel = 3;
    SetPresets({"Morning", "Jazz FM"}, 2);
    SetRds(0x1234, 10, "RADIO 1 ", kRadioText);
  }
  int ErrorOf(const std::string& keyword) {
    try {
      Label(keyword);
    } catch (const RuntimeError& e) {
      return e.number();
    }
    return 0;
  }
};

TEST_F(Labels, FirstTableAnswersWhileInactiveAndLeavesTheKeyword) {
  Start();
  Tuned();
  for (const auto& e : kAlways) {
    auto a = Label(e.keyword);
    EXPECT_EQ(a.result, e.text) << e.keyword;
    EXPECT_EQ(a.keyword, e.keyword);
  }
}

TEST_F(Labels, FirstTableAnswersWhileActiveAndLeavesTheKeyword) {
  StartActive();
  Tuned();
  for (const auto& e : kAlways) {
    auto a = Label(e.keyword);
    EXPECT_EQ(a.result, e.text) << e.keyword;
    EXPECT_EQ(a.keyword, e.keyword);
  }
}

TEST_F(Labels, SecondTableIsEmptyWhileInactiveAndLeavesTheKeyword) {
  Start();
  Tuned();
  for (const auto& e : kWhileActive) {
    auto a = Label(e.keyword);
    EXPECT_EQ(a.result, "") << e.keyword;
    EXPECT_EQ(a.keyword, e.keyword);
  }
}

TEST_F(Labels, SecondTableAnswersWhileActiveAndEmptiesTheKeyword) {
  StartActive();
  Tuned();
  for (const auto& e : kWhileActive) {
    auto a = Label(e.keyword);
    EXPECT_EQ(a.result, e.text) << e.keyword;
    EXPECT_EQ(a.keyword, "") << e.keyword;
  }
}

TEST_F(Labels, KeywordsMatchWithoutRegardToCaseButNotToBlanks) {
  StartActive();
  Tuner().currentFreq = 10790;
  auto a = Label("Frequency");
  EXPECT_EQ(a.result, "107.9");
  EXPECT_EQ(a.keyword, "Frequency");
  EXPECT_EQ(Label("FREQUENCY").result, "107.9");
  EXPECT_EQ(Label(" frequency").result, "");
  EXPECT_EQ(Label("frequency ").result, "");

  auto status = Label("StAtUs");
  EXPECT_EQ(status.result, "UNMUTED");
  EXPECT_EQ(status.keyword, "");
}

TEST_F(Labels, UnknownKeywordsAnswerEmptyAndKeepTheKeywordEvenWhileActive) {
  StartActive();
  for (std::string k : {"", "volume", "stereo", "radioart", "frequencyfrequencyfrequency"}) {
    auto a = Label(k);
    EXPECT_EQ(a.result, "") << k;
    EXPECT_EQ(a.keyword, k);
  }
}

TEST_F(Labels, FrequencyUsesTheLocaleDecimalSeparator) {
  Start();
  Tuner().currentFreq = 10790;
  EXPECT_EQ(Label("frequency").result, "107.9");
  SetLocale(",", ".", 1031);
  EXPECT_EQ(Label("frequency").result, "107,9");
  Tuner().currentFreq = 8750;
  EXPECT_EQ(Label("frequence").result, "87,5");
}

TEST_F(Labels, AmFrequenciesArePlainKilohertz) {
  StartActive();
  Tuner().currentFreq = 1000;
  EXPECT_EQ(Label("frequency").result, "1000");
  EXPECT_EQ(Label("mhzkhz").result, "KHz");
  EXPECT_EQ(Label("fmam").result, "AM");
  EXPECT_EQ(Label("trackname").result, "1000");
  // The band boundary: one unit below 87.50 MHz reads as AM.
  Tuner().currentFreq = 8749;
  EXPECT_EQ(Label("fmam").result, "AM");
  EXPECT_EQ(Label("frequency").result, "8749");
  Tuner().currentFreq = 8750;
  EXPECT_EQ(Label("fmam").result, "FM");
  EXPECT_EQ(Label("frequency").result, "87.5");
}

TEST_F(Labels, SignalPercentageAtEverySignalStep) {
  Start();
  const std::array<const char*, 16> percent = {"100%", "93%", "87%", "80%", "73%", "67%",
                                               "60%",  "53%", "47%", "40%", "33%", "27%",
                                               "20%",  "13%", "7%",  "0%"};
  for (int16_t level = 0; level < 16; ++level) {
    Tuner().decoderLevel = level;
    EXPECT_EQ(Label("rsignal").result, percent[level]) << level;
  }
}

TEST_F(Labels, NotStartedGivesEmptyRdsTextsAndNoSignal) {
  Tuner().currentFreq = 8750;
  SetRds(0x1234, 10, "RADIO 1 ", kRadioText);  // a record, but the tuner is not ready
  EXPECT_EQ(Label("rsignal").result, "0%");
  for (const char* k : {"rdsname", "rdstext", "rdspty", "pty", "rdsptystring", "rdspi"})
    EXPECT_EQ(Label(k).result, "") << k;
  EXPECT_EQ(Label("frequency").result, "87.5");
}

TEST_F(Labels, InvalidRdsRecordGivesEmptyRdsTexts) {
  StartActive();
  SetRds(0x1234, 10, "RADIO 1 ", kRadioText);
  Tuner().rdsValid = false;
  for (const char* k : {"rdsname", "rdstext", "rdspty", "rdsptystring", "rdspi", "tagartist"})
    EXPECT_EQ(Label(k).result, "") << k;
}

TEST_F(Labels, ProgrammeTypeNameIsEmptyForCodeZeroAndAboveThirtyOne) {
  Start();
  for (int code : {0, 32, 40, 255}) {
    SetRds(0x1234, static_cast<uint8_t>(code), "", "");
    EXPECT_EQ(Label("rdsptystring").result, "") << code;
    EXPECT_EQ(Label("rdspty").result, std::to_string(code));
  }
  SetRds(0x1234, 31, "", "");
  EXPECT_EQ(Label("rdsptystring").result, "Alarm");
}

TEST_F(Labels, ProgrammeTypeNameFollowsTheLoadedStandardAndOverrides) {
  testing_support::WriteFile(ConfigDir() + "RBDS.ini", "rock = Rock & Roll\r\n");
  SetLocale(".", ",", 1033);
  Start();
  SetRds(0x1234, 5, "", "");
  EXPECT_EQ(Label("rdsptystring").result, "Rock & Roll");
}

TEST_F(Labels, NegativePiReadsAsASignedNumber) {
  Start();
  SetRds(static_cast<int16_t>(0xD3C2), 0, "", "");
  EXPECT_EQ(Label("rdspi").result, "-11326");
}

TEST_F(Labels, NoCurrentPresetGivesEmptyPresetTextsAndStillEmptiesTrackNumber) {
  StartActive();
  Tuner().currentFreq = 8750;
  SetPresets({"Morning"}, 0);
  EXPECT_EQ(Label("station").result, "");
  EXPECT_EQ(Label("preset").result, "");
  auto number = Label("tracknumber");
  EXPECT_EQ(number.result, "");
  EXPECT_EQ(number.keyword, "");
  auto track = Label("trackname");
  EXPECT_EQ(track.result, "87.5");
  EXPECT_EQ(track.keyword, "");
}

TEST_F(Labels, TrackNameOmitsTheDashForAnUnnamedPreset) {
  StartActive();
  Tuner().currentFreq = 8750;
  SetPresets({"Morning", "", "Jazz"}, 2);
  EXPECT_EQ(Label("trackname").result, "87.5");
  Presets().currentPreset = 3;
  EXPECT_EQ(Label("audiotrack").result, "87.5 - Jazz");
}

TEST_F(Labels, StatusFollowsTheMuteState) {
  StartActive();
  EXPECT_EQ(Label("status").result, "UNMUTED");
  Tuner().SetMute(true);
  EXPECT_EQ(Label("status").result, "MUTED");
}

TEST_F(Labels, ACurrentPresetBeyondTheStoreIsASubscriptErrorThatLeavesTheKeyword) {
  StartActive();
  SetPresets({"Morning"}, 5);
  EXPECT_EQ(ErrorOf("station"), halvane::kSubscriptRange);
  EXPECT_EQ(ErrorOf("radioname"), halvane::kSubscriptRange);
  std::string keyword = "trackname";
  std::string format;
  EXPECT_THROW(radio->ReturnLabel(keyword, format), RuntimeError);
  EXPECT_EQ(keyword, "trackname");
  // The number itself needs no lookup.
  EXPECT_EQ(Label("preset").result, "5");
}

TEST_F(Labels, ByNameTheEmptiedKeywordIsWrittenBack) {
  StartActive();
  halvane::Variant args[2] = {halvane::Variant("Status"), halvane::Variant("")};
  auto result = radio->Invoke("ReturnLabel", halvane::CallKind::Method, args);
  EXPECT_EQ(result.ToString(), "UNMUTED");
  EXPECT_EQ(args[0].ToString(), "");
}

}  // namespace
