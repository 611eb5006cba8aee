// The simulated tuner through its exports: start-up, tuning, search, stereo and signal level.
#include <stdlib.h>

#include "result_codes.h"
#include "sim_driver_fixture.h"
#include "test_hooks.h"

namespace halvane::driver::testing_support {
namespace {

using SimTuning = SimDriverTest;

struct SearchResult {
  int32_t result;
  int32_t hz;
};

SearchResult Search(int32_t from, bool up) {
  int32_t hz = from;
  uint8_t level = 0;
  const int32_t result = radioSearch(0, &hz, up ? 1 : 0, &level);
  EXPECT_EQ(level, 0);
  return {result, hz};
}

TEST_F(SimTuning, NothingWorksBeforeInitialize) {
  int32_t hz = 123;
  uint32_t state = 456;
  RdsRecord record{};
  record.pty = 99;
  EXPECT_EQ(radioGetFrequency(0, &hz), kNotInitialized);
  EXPECT_EQ(RDS_SAA6588_GetDecoderState(0, &state), kNotInitialized);
  EXPECT_EQ(RDS_EvalData(0, &record), kNotInitialized);
  EXPECT_EQ(radioSearch(0, &hz, 1, nullptr), kNotInitialized);
  EXPECT_EQ(hz, 123);
  EXPECT_EQ(state, 456u);
  EXPECT_EQ(record.pty, 99);
}

TEST_F(SimTuning, FrequencyIsHeldOnTheRaster) {
  StartRadio();
  EXPECT_EQ(Frequency(), 87'500'000);
  radioSetFrequency(0, 95'800'000);
  EXPECT_EQ(Frequency(), 95'800'000);
  radioSetFrequency(0, 95'849'000);
  EXPECT_EQ(Frequency(), 95'800'000);
  radioSetFrequency(0, 10'400'000);  // AM 1040 kHz
  EXPECT_EQ(Frequency(), 10'400'000);
  radioSetFrequency(0, 200'000'000);
  EXPECT_EQ(Frequency(), 108'000'000);
  // Kept across a stop and start of the tuner.
  radioUninitialize();
  StartRadio();
  EXPECT_EQ(Frequency(), 108'000'000);
}

TEST_F(SimTuning, SearchUpAndDownAcrossStations) {
  StartRadio();
  EXPECT_EQ(Search(87'500'000, true).hz, 90'000'000);  // the start itself is skipped
  EXPECT_EQ(Frequency(), 90'000'000);                  // and the tuner sits on the find
  const SearchResult up = Search(90'000'000, true);
  EXPECT_EQ(up.result, 0);
  EXPECT_EQ(up.hz, 92'000'000);                         // a station without RDS is a station
  EXPECT_EQ(Search(95'050'000, false).hz, 95'000'000);  // off-raster start
  EXPECT_EQ(Search(100'000'000, false).hz, 95'000'000);
  EXPECT_EQ(Search(104'000'000, true).hz, 107'900'000);
}

TEST_F(SimTuning, SearchRunsOffBothEdges) {
  StartRadio();
  SearchResult top = Search(107'900'000, true);
  EXPECT_EQ(top.result, HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(top.hz, 108'000'000);
  EXPECT_EQ(Frequency(), 108'000'000);
  SearchResult bottom = Search(87'500'000, false);
  EXPECT_EQ(bottom.result, HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(bottom.hz, 87'500'000);
  EXPECT_EQ(Search(87'600'000, false).hz, 87'500'000);
}

TEST_F(SimTuning, SearchOnAmWalksTheAmBand) {
  StartRadio();
  EXPECT_EQ(Search(5'300'000, true).hz, 6'000'000);
  EXPECT_EQ(Search(6'000'000, true).hz, 10'400'000);
  const SearchResult top = Search(10'400'000, true);
  EXPECT_EQ(top.result, HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(top.hz, 17'100'000);
  const SearchResult bottom = Search(6'000'000, false);
  EXPECT_EQ(bottom.result, HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(bottom.hz, 5'300'000);
}

TEST_F(SimTuning, StereoOnlyOnAStereoStationWithMonoNotForced) {
  StartRadio();
  Tune(90'000'000);
  EXPECT_TRUE(StateFlags() & HALVANE_STATE_STEREO);
  radioForceMono(0, 1);
  EXPECT_FALSE(StateFlags() & HALVANE_STATE_STEREO);
  radioForceMono(0, 0);
  EXPECT_TRUE(StateFlags() & HALVANE_STATE_STEREO);
  Tune(92'000'000);  // a mono station
  EXPECT_FALSE(StateFlags() & HALVANE_STATE_STEREO);
  Tune(91'000'000);  // nothing there
  EXPECT_FALSE(StateFlags() & HALVANE_STATE_STEREO);
  Tune(6'000'000);  // AM
  EXPECT_FALSE(StateFlags() & HALVANE_STATE_STEREO);
}

TEST_F(SimTuning, DecoderLevelIsTheTunedStationsLevel) {
  StartRadio();
  Tune(90'000'000);
  EXPECT_EQ(DecoderState() & 0x0F, 0u);
  Tune(95'000'000);
  EXPECT_EQ(DecoderState() & 0x0F, 12u);
  Tune(10'400'000);
  EXPECT_EQ(DecoderState() & 0x0F, 6u);
  Tune(91'000'000);
  EXPECT_EQ(DecoderState() & 0x0F, 15u);
  Tune(92'000'000);
  EXPECT_EQ(DecoderState() & 0x0F, 3u);
  RDS_Stop(0);
  EXPECT_EQ(DecoderState() & 0x0F, 15u);  // decoder not running
}

TEST_F(SimTuning, BandFileCanMakeInitializeFail) {
  UseBand("[tuner]\ninitialize_error = 5\n");
  EXPECT_EQ(radioInitialize(), 5);
  int32_t hz = 0;
  EXPECT_EQ(radioGetFrequency(0, &hz), kNotInitialized);
}

TEST_F(SimTuning, UnreadableOrBrokenBandFileFailsInitialize) {
  setenv("HALVANE_STATIONS", (folder_ + "missing.ini").c_str(), 1);
  EXPECT_EQ(radioInitialize(), kBandFileUnreadable);
  UseBand("[station]\nfrequency = 95.8\n");
  EXPECT_EQ(radioInitialize(), kBandFileInvalid);
  // A failed read is tried again at the next initialise.
  UseBand(kTestBand);
  EXPECT_EQ(radioInitialize(), 0);
}

TEST_F(SimTuning, BandIsReadOnceUntilReset) {
  StartRadio();
  UseBand("[tuner]\ninitialize_error = 9\n");
  radioUninitialize();
  EXPECT_EQ(radioInitialize(), 0);
  HalvaneSimReset();
  EXPECT_EQ(radioInitialize(), 9);
}

TEST_F(SimTuning, WithoutABandFileTheBuiltInBandPlays) {
  setenv("HALVANE_STATIONS", "", 1);
  StartRadio();
  EXPECT_EQ(Search(87'500'000, false).result, HALVANE_SEARCH_BAND_END);
  // The built-in band has a station exactly at the top channel of the plug-in's plan.
  EXPECT_EQ(Search(107'800'000, true).hz, 107'900'000);
  EXPECT_EQ(Search(5'300'000, true).hz, 6'000'000);
}

TEST_F(SimTuning, NullAddressesAreRefused) {
  StartRadio();
  EXPECT_EQ(radioGetFrequency(0, nullptr), kNullArgument);
  EXPECT_EQ(radioSearch(0, nullptr, 1, nullptr), kNullArgument);
  EXPECT_EQ(radioGetState(0, nullptr), kNullArgument);
  EXPECT_EQ(RDS_SAA6588_GetDecoderState(0, nullptr), kNullArgument);
  EXPECT_EQ(RDS_EvalData(0, nullptr), kNullArgument);
}

}  // namespace
}  // namespace halvane::driver::testing_support
