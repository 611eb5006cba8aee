// Values from the driver that the plug-in can't hold: frequencies beyond the 16-bit conversion
// from radioGetFrequency and radioSearch, tunes beyond the driver's 32-bit hertz, decoder states
// and flags with every bit set, an RDS record of 0xFF bytes. The errors the plug-in names reach
// the caller; a tick that meets one ends there and its timer goes on.
#include <climits>
#include <cstring>

#include "halvane/errors.h"
#include "robustness_fixture.h"

namespace {

using namespace halvane;
using Calls = std::vector<std::string>;

class FrequencyFault : public robustness::RobustnessTest {
 protected:
  void SetUp() override {
    RobustnessTest::SetUp();
    WriteMainList();
    StartActive();
  }
  bool Logged(const std::string& part) const {
    for (const auto& line : sdk_->log)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
};

TEST_F(FrequencyFault, ReadBackBeyondSixteenBitsEndsTheTickThereAndTheTimerGoesOn) {
  driver_->script.setFrequencyTracks = false;
  for (int32_t hz : {327680000, 327675000, -327690000, INT_MAX, INT_MIN}) {
    driver_->script.frequencyHz = 95800000;
    component_->radio().PollStatus();  // a good read: the record is valid
    driver_->script.frequencyHz = hz;
    ClearCalls();
    const auto direct = Run([&] { return component_->radio().PollStatus(), std::string(); });
    EXPECT_EQ(direct.error, kOverflow) << hz;
    // The decoder state and the record are not asked for, and the last record stays valid.
    EXPECT_EQ(Trace(), (Calls{"radioGetFrequency(0,0)"})) << hz;
    EXPECT_TRUE(component_->radio().rdsValid()) << hz;
    EXPECT_EQ(radio_->Freq(), 9580) << hz;

    sdk_->log.clear();
    EXPECT_TRUE(FireStatusTick());
    EXPECT_TRUE(Logged("Timer tick failed")) << hz;
    EXPECT_TRUE(radio_->StatusTimer()->Running());
  }
  // The edges that still fit, ties to even: 32767, 32766.5 → 32766, -32768.
  for (auto [hz, freq] : std::vector<std::pair<int32_t, int32_t>>{
           {327670000, 32767}, {327665000, 32766}, {-327680000, -32768}}) {
    driver_->script.frequencyHz = hz;
    EXPECT_TRUE(FireStatusTick());
    EXPECT_EQ(radio_->Freq(), freq) << hz;
  }
  EXPECT_EQ(CacheFile("Radio.ini"), kMainList);
  robustness::Report(
      "faults",
      "`radioGetFrequency` writes 327,680,000 Hz and more, -327,690,000, INT_MIN, INT_MAX | the "
      "poll fails with 6 there, the decoder and RDS steps skipped; the tick contains "
      "it and the timer goes on; 32767, 32766.5 and -32768 units still read");
}

TEST_F(FrequencyFault, SeekThatFindsAFrequencyBeyondSixteenBitsFailsWithRdsLeftOff) {
  driver_->script.searchFound = {400000000};
  EXPECT_EQ(Cmd("seekup").error, kOverflow);
  EXPECT_EQ(Trace(), (Calls{"RDS_Stop(0)", "radioSearch(0,95800000,1,0)",
                            "radioSetFrequency(0,400000000)", "radioGetFrequency(0,400000000)"}));
  EXPECT_EQ(radio_->Freq(), 9580);
  EXPECT_EQ(CacheFile("Radio.ini"), kMainList);

  // A scan whose every seek fails this way goes on ticking until a command stops it.
  sdk_->Var("scansecs", Variant(std::string("30")));
  radio_->StatusTimer()->Interval(3600000);  // only the scan's ticks are fired below
  driver_->script.searchFound = {95800000, 400000000, 400000000, 400000000};
  EXPECT_EQ(Cmd("scan").value, "2");  // its first seek finds 95.8 MHz
  sdk_->log.clear();
  for (int tick = 0; tick < 3; ++tick) EXPECT_TRUE(FireSurfTick());
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);
  EXPECT_TRUE(radio_->search().SurfTimer()->Running());
  EXPECT_TRUE(Logged("Timer tick failed"));
  EXPECT_EQ(Cmd("scan").value, "2");
  EXPECT_FALSE(radio_->search().SurfTimer()->Enabled());
  robustness::Report(
      "faults",
      "`radioSearch` finds 400,000,000 Hz | \"seekup\" fails with 6 after the set and the "
      "read-back, RDS left off, the frequency kept; a scan's ticks contain it and the scan "
      "runs on");
}

TEST_F(FrequencyFault, TuningBeyondTheDriversHertzRangeFailsBeforeTheTuner) {
  ClearCalls();
  EXPECT_EQ(Cmd("rtune;300000").error, kOverflow);
  EXPECT_EQ(Trace(), (Calls{"RDS_Stop(0)"}));
  int32_t f = -300000;
  EXPECT_EQ(Run([&] { return radio_->Tune(f), std::string(); }).error, kOverflow);
  EXPECT_EQ(Cmd("rtune;99999999999").error, kOverflow);
  EXPECT_EQ(radio_->Freq(), 9580);
  robustness::Report(
      "faults",
      "a tune whose hertz leave 32 bits (\"rtune;300000\", Tune -300000) | fails with 6 before "
      "any tuner call but RDS_Stop");
}

TEST_F(FrequencyFault, DecoderStatesAndFlagsWithEveryBitSet) {
  driver_->script.decoderState = 0xFFFFFFFF;
  driver_->script.stateFlags = 0xFF;
  EXPECT_TRUE(FireStatusTick());
  EXPECT_EQ(Label("rsignal"), "0%");
  std::string slider = "rsignal";
  EXPECT_EQ(radio_->ReturnSlider(slider), 0);
  EXPECT_EQ(Indicator("stereo"), "True");

  driver_->script.decoderState = 0xFFFFFFF0;  // only bits 0-3 are the level
  driver_->script.stateFlags = 0xFD;          // every flag but stereo
  EXPECT_TRUE(FireStatusTick());
  EXPECT_EQ(Label("rsignal"), "100%");
  EXPECT_EQ(Indicator("stereo"), "False");
  robustness::Report(
      "faults",
      "decoder state 0xFFFFFFFF and flags 0xFF | signal 0 (0%), stereo; 0xFFFFFFF0: signal "
      "100%");
}

TEST_F(FrequencyFault, RecordOfEveryByteSet) {
  std::memset(&driver_->script.record, 0xFF, sizeof driver_->script.record);
  EXPECT_TRUE(FireStatusTick());
  std::string ps;
  for (int i = 0; i < 8; ++i) ps += "\xC3\xBF";  // ÿ, Windows-1252 0xFF
  EXPECT_EQ(Label("rdsname"), ps);
  EXPECT_EQ(Label("rdstext").size(), 128u);
  EXPECT_EQ(Label("rdspi"), "-1");
  EXPECT_EQ(Label("rdspty"), "255");
  EXPECT_EQ(Label("rdsptystring"), "");
  for (const char* flag : {"rdsta", "rdstp", "rdsms"}) EXPECT_EQ(Indicator(flag), "True") << flag;
  EXPECT_EQ(Run([&] { return radio_->GetArtwork(); }).value, "");
  robustness::Report(
      "faults",
      "an RDS record of 0xFF bytes | name of eight \"ÿ\", PI -1, PTY 255 without a name, every "
      "flag set, no artwork");
}

TEST_F(FrequencyFault, SurfTickOnAPresetBeyondThirtyTwoBitsIsContained) {
  radio_->StopRadio();
  WriteCacheFile("Radio.ini", "9580|0|0\r\n9580,One\r\n99999999999,Huge\r\n8750,Three\r\n");
  StartActive();
  sdk_->Var("scansecs", Variant(std::string("30")));
  radio_->StatusTimer()->Interval(3600000);  // only the surf's ticks are fired below
  EXPECT_EQ(Cmd("surf").value, "2");  // preset 1 is current: the first step goes to 2 and fails?
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
  for (int tick = 0; tick < 4; ++tick) EXPECT_TRUE(FireSurfTick());
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
  EXPECT_TRUE(radio_->search().SurfTimer()->Running());
  EXPECT_TRUE(Logged("Timer tick failed"));
  robustness::Report(
      "faults",
      "surf reaches a preset whose frequency is beyond 32 bits | that tick fails with 6 and is "
      "contained; the surf goes on");
}

}  // namespace
