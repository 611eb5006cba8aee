// The status poll and the RDS accessors.
#include <gtest/gtest.h>

#include <cstring>

#include "halvane/errors.h"
#include "plugin_fixture.h"

namespace {

using namespace halvane;
using testing_support::PluginTest;
using Calls = std::vector<std::string>;

class Status : public PluginTest {
 protected:
  ModRadio& mod() { return component_->radio(); }
  void Poll() {
    ClearCalls();
    mod().PollStatus();
  }
  void SetPs(const char* bytes) { std::memcpy(driver_->script.record.ps, bytes, 8); }
};

TEST_F(Status, EveryAccessorBeforeAStartIsEmptyAndCallsNothing) {
  driver_->script.stateFlags = 2;
  driver_->script.record.pty = 10;
  mod().PollStatus();
  EXPECT_FALSE(mod().IsStereo());
  EXPECT_EQ(mod().SignalLevel(), 0);
  EXPECT_EQ(mod().RdsName(), "");
  EXPECT_EQ(mod().RdsText(), "");
  EXPECT_EQ(mod().RdsPty(), "");
  EXPECT_EQ(mod().RdsPi(), "");
  EXPECT_FALSE(mod().RdsTA());
  EXPECT_FALSE(mod().RdsTP());
  EXPECT_FALSE(mod().RdsMS());
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(radio_->Freq(), 0);
}

TEST_F(Status, OneTickReadsFrequencyDecoderStateAndRecordInOrder) {
  Start();
  driver_->script.frequencyHz = 95800000;
  Poll();
  EXPECT_EQ(Trace(), (Calls{"radioGetFrequency(0,0)", "RDS_SAA6588_GetDecoderState(0,0)",
                            "RDS_EvalData(0,0)"}));
  EXPECT_EQ(radio_->Freq(), 9580);
  EXPECT_TRUE(mod().rdsValid());
}

TEST_F(Status, FrequencyReadBackRoundsTiesToEven) {
  Start();
  driver_->script.setFrequencyTracks = false;
  for (auto [hz, expected] : std::vector<std::pair<int32_t, int32_t>>{
           {87500000, 8750}, {87505000, 8750}, {87515000, 8752}, {10400000, 1040}}) {
    driver_->script.frequencyHz = hz;
    Poll();
    EXPECT_EQ(radio_->Freq(), expected) << hz;
  }
}

TEST_F(Status, SignalFollowsTheLowFourBitsOfTheDecoderState) {
  Start();
  EXPECT_EQ(mod().SignalLevel(), 65535);  // before the first state arrives
  for (auto [state, signal] : std::vector<std::pair<uint32_t, int32_t>>{
           {0x0000, 65535}, {0x000F, 0}, {0x0123, 52428}, {0x7FF0, 65535}}) {
    driver_->script.decoderState = state;
    Poll();
    EXPECT_EQ(mod().SignalLevel(), signal) << state;
  }
  driver_->script.failing = {"RDS_SAA6588_GetDecoderState"};
  driver_->script.decoderState = 0x0005;
  Poll();
  EXPECT_EQ(mod().SignalLevel(), 65535);  // a failed read keeps the last level
}

TEST_F(Status, AFailingEvalHidesTheFieldsButKeepsTheRecord) {
  Start();
  SetPs("RADIO 1 ");
  driver_->script.record.tp = 1;
  Poll();
  EXPECT_EQ(mod().RdsName(), "RADIO 1 ");
  EXPECT_TRUE(mod().RdsTP());
  driver_->script.failing = {"RDS_EvalData"};
  Poll();
  EXPECT_FALSE(mod().rdsValid());
  EXPECT_EQ(mod().RdsName(), "");
  EXPECT_FALSE(mod().RdsTP());
  EXPECT_EQ(std::memcmp(mod().rdsData().ps, "RADIO 1 ", 8), 0);
  driver_->script.failing.clear();
  Poll();
  EXPECT_EQ(mod().RdsName(), "RADIO 1 ");
}

TEST_F(Status, AFailingFrequencyReadDoesNotSkipTheOtherCalls) {
  Start();
  driver_->script.failing = {"radioGetFrequency"};
  driver_->script.frequencyHz = 95800000;
  Poll();
  EXPECT_EQ(Trace().size(), 3u);
  EXPECT_EQ(radio_->Freq(), 8750);
}

TEST_F(Status, NameAndTextKeepBlanksZerosAndCountCharacters) {
  Start();
  SetPs("ABCDEFG ");
  std::memset(driver_->script.record.rt, 0, sizeof driver_->script.record.rt);
  std::memcpy(driver_->script.record.rt, "Caf\xe9 \x80", 6);
  Poll();
  EXPECT_EQ(mod().RdsName(), "ABCDEFG ");
  std::string text = mod().RdsText();
  // 64 characters: "Café €" then 58 U+0000.
  EXPECT_EQ(text.substr(0, 9), "Caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(text.size(), 9u + 58u);
  EXPECT_EQ(text.substr(9), std::string(58, '\0'));
  std::memset(driver_->script.record.ps, 0, 9);
  Poll();
  EXPECT_EQ(mod().RdsName(), std::string(8, '\0'));
}

TEST_F(Status, CodesAndFlagsAsTheRecordHoldsThem) {
  Start();
  auto& r = driver_->script.record;
  r.pi = static_cast<int16_t>(0xD3C2);
  r.pty = 0;
  r.ta = 2;
  r.ms = 0;
  Poll();
  EXPECT_EQ(mod().RdsPi(), "-11326");
  EXPECT_EQ(mod().RdsPty(), "0");
  EXPECT_TRUE(mod().RdsTA());
  EXPECT_FALSE(mod().RdsMS());
  r.pi = 0x1234;
  r.pty = 255;
  Poll();
  EXPECT_EQ(mod().RdsPi(), "4660");
  EXPECT_EQ(mod().RdsPty(), "255");
}

TEST_F(Status, StereoIsAskedAfreshEveryTime) {
  Start();
  ClearCalls();
  driver_->script.stateFlags = 0x02;
  EXPECT_TRUE(mod().IsStereo());
  driver_->script.stateFlags = 0xFD;
  EXPECT_FALSE(mod().IsStereo());
  driver_->script.stateFlags = 0x02;
  driver_->script.failing = {"radioGetState"};
  EXPECT_FALSE(mod().IsStereo());
  EXPECT_EQ(Trace(), (Calls{"radioGetState(0,0)", "radioGetState(0,0)", "radioGetState(0,0)"}));
}

TEST_F(Status, AnOverflowingTickEndsThereAndTheTimerGoesOn) {
  sdk_->Var("RadioDebug", Variant(true));
  Start();
  driver_->script.setFrequencyTracks = false;
  driver_->script.frequencyHz = 400000000;  // 40000 does not fit 16 bits
  ClearCalls();
  ASSERT_TRUE(context_->RunUntil([&] { return driver_->Names().size() >= 2; }));
  auto names = driver_->Names();
  for (const auto& n : names) EXPECT_EQ(n, "radioGetFrequency");  // the rest of each tick skipped
  EXPECT_EQ(radio_->Freq(), 8750);
  EXPECT_NE(sdk_->log.back().find("Overflow"), std::string::npos);
  EXPECT_TRUE(radio_->StatusTimer()->Enabled());
}

}  // namespace
