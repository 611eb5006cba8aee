#include <gtest/gtest.h>

#include <array>
#include <string>

#include "halvane/errors.h"
#include "skin_fixture.h"

namespace {

using skin_test::SkinTest;

const std::string kText = "Now playing: Blue in Green" + std::string(38, ' ');

struct Expected {
  std::string keyword, text;
};

// For the station set up by Tuned(): answered whether or not the radio is active.
const Expected kAlways[] = {{"fmam", "FM"},
                            {"mhzkhz", "MHz"},
                            {"frequency", "101.5"},
                            {"frequence", "101.5"},
                            {"rsignal", "80%"},
                            {"station", "Jazz FM"},
                            {"radioname", "Jazz FM"},
                            {"preset", "2"},
                            {"radionumber", "2"},
                            {"rdsname", "RADIO 1 "},
                            {"rdstext", kText},
                            {"rdspty", "10"},
                            {"pty", "10"},
                            {"rdsptystring", "Pop music"},
                            {"rdspi", "4660"}};
// Answered only while active, emptying the caller's keyword.
const Expected kWhileActive[] = {{"tagartist", "RADIO 1 "},
                                 {"tagalbum", kText},
                                 {"tagtitle", kText},
                                 {"trackname", "101.5 - Jazz FM"},
                                 {"audiotrack", "101.5 - Jazz FM"},
                                 {"tracknumber", "2"},
                                 {"status", "UNMUTED"}};

class Labels : public SkinTest {
 protected:
  // 101.50 MHz, decoder level 3, preset 2 "Jazz FM" current, PS "RADIO 1 ", PTY 10, PI 0x1234.
  void Tuned() {
    SetPresets({"Morning", "Jazz FM"}, 2);
    Receive(10150, 3);
    SetRds(0x1234, 10, "RADIO 1 ", kText);
  }
};

TEST_F(Labels, EveryKeywordInactiveThenActiveWithTheKeywordAfterTheCall) {
  Start();
  Tuned();
  for (const auto& e : kAlways) {
    EXPECT_EQ(Label(e.keyword).result, e.text) << e.keyword;
    EXPECT_EQ(Label(e.keyword).keyword, e.keyword);
  }
  for (const auto& e : kWhileActive) {
    EXPECT_EQ(Label(e.keyword).result, "") << e.keyword;
    EXPECT_EQ(Label(e.keyword).keyword, e.keyword);
  }
  Activate(true);
  Tuned();
  for (const auto& e : kAlways) {
    EXPECT_EQ(Label(e.keyword).result, e.text) << e.keyword;
    EXPECT_EQ(Label(e.keyword).keyword, e.keyword);
  }
  for (const auto& e : kWhileActive) {
    EXPECT_EQ(Label(e.keyword).result, e.text) << e.keyword;
    EXPECT_EQ(Label(e.keyword).keyword, "") << e.keyword;
  }
}

TEST_F(Labels, CaseIsIgnoredButBlanksAndUnknownWordsAnswerNothing) {
  StartActive();
  Receive(10790);
  auto a = Label("Frequency");
  EXPECT_EQ(a.result, "107.9");
  EXPECT_EQ(a.keyword, "Frequency");
  auto status = Label("StAtUs");
  EXPECT_EQ(status.result, "UNMUTED");
  EXPECT_EQ(status.keyword, "");
  for (std::string k : {"", " frequency", "status ", "stereo", "frequencyfrequencyfrequency"}) {
    EXPECT_EQ(Label(k).result, "") << k;
    EXPECT_EQ(Label(k).keyword, k);
  }
}

TEST_F(Labels, FrequencyInEachLocaleAndBand) {
  StartActive();
  Receive(10790);
  EXPECT_EQ(Label("frequency").result, "107.9");
  SetLocale(",", ".", 1031);
  EXPECT_EQ(Label("frequency").result, "107,9");
  Receive(8750);
  EXPECT_EQ(Label("trackname").result, "87,5");
  Receive(8749);  // one unit below the FM band is AM in kHz
  EXPECT_EQ(Label("frequency").result, "8749");
  Receive(1000);
  EXPECT_EQ(Label("frequency").result, "1000");
  EXPECT_EQ(Label("mhzkhz").result, "KHz");
  EXPECT_EQ(Label("fmam").result, "AM");
}

TEST_F(Labels, SignalPercentageAtEveryStep) {
  Start();
  const char* percent[] = {"100%", "93%", "87%", "80%", "73%", "67%", "60%", "53%",
                           "47%",  "40%", "33%", "27%", "20%", "13%", "7%",  "0%"};
  for (int16_t level = 0; level < 16; ++level) {
    Receive(8750, static_cast<uint32_t>(level) | 0xF0);  // the poll keeps the low four bits
    EXPECT_EQ(Label("rsignal").result, percent[level]) << level;
  }
}

TEST_F(Labels, RdsTextsAreEmptyUnlessStartedWithAValidRecord) {
  StartActive();
  SetRds(static_cast<int16_t>(0xD3C2), 10, "RADIO 1 ", kText);
  EXPECT_EQ(Label("rdspi").result, "-11326");
  SendRds(std::nullopt);
  for (const char* k : {"rdsname", "rdstext", "rdspty", "rdsptystring", "rdspi", "tagartist"})
    EXPECT_EQ(Label(k).result, "") << k;
  SetRds(0x1234, 10, "RADIO 1 ", kText);
  radio_->StopRadio();  // the record stays valid, the tuner is no longer ready
  EXPECT_EQ(Label("rsignal").result, "0%");
  for (const char* k : {"rdsname", "rdstext", "rdspty", "rdsptystring", "rdspi"})
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

TEST_F(Labels, PresetTextsWithoutACurrentOrANamedPreset) {
  StartActive();
  Receive(8750);
  SetPresets({"Morning", ""}, 0);
  EXPECT_EQ(Label("station").result, "");
  EXPECT_EQ(Label("preset").result, "");
  auto number = Label("tracknumber");
  EXPECT_EQ(number.result, "");
  EXPECT_EQ(number.keyword, "");
  EXPECT_EQ(Label("trackname").result, "87.5");
  Presets().RecallPreset(2);  // a preset without a name: no " - "
  EXPECT_EQ(Label("trackname").result, "87.5");
}

TEST_F(Labels, ACurrentPresetBeyondTheStoreFailsAndLeavesTheKeyword) {
  StartActive();
  SetPresets({"Morning", "Noon", "Evening", "Night", "Late"}, 5);
  Activate(false);  // an inactive radio redraws no list, so the current preset stays after deletes
  for (int row = 3; row >= 1; --row) {
    screen_->list->value = halvane::Variant(int32_t{row});
    Presets().DeletePreset(screen_);
  }
  Activate(true);
  for (std::string k : {"station", "radioname", "trackname"}) {
    std::string keyword = k, format;
    try {
      radio_->ReturnLabel(keyword, format);
      ADD_FAILURE() << k << ": no error";
    } catch (const halvane::RuntimeError& e) {
      EXPECT_EQ(e.number(), halvane::kSubscriptRange);
    }
    EXPECT_EQ(keyword, k);
  }
  EXPECT_EQ(Label("preset").result, "5");
}

TEST_F(Labels, StatusFollowsMutingAndByNameTheEmptiedKeywordIsWrittenBack) {
  StartActive();
  Tuner().SetMute(true);
  halvane::Variant args[2] = {halvane::Variant("Status"), halvane::Variant("")};
  EXPECT_EQ(radio_->Invoke("ReturnLabel", halvane::CallKind::Method, args).ToString(), "MUTED");
  EXPECT_EQ(args[0].ToString(), "");
}

}  // namespace
