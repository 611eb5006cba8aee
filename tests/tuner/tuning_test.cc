// Tuning, megahertz and channel steps, seek and mono, as driver calls with their arguments.
#include <gtest/gtest.h>

#include <functional>

#include "error_of.h"
#include "halvane/errors.h"
#include "plugin_fixture.h"

namespace {

using namespace halvane;
using testing_support::PluginTest;
using Calls = std::vector<std::string>;

using testing_support::ErrorOf;

class Tuning : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    StartActive();
  }
  ModRadio& mod() { return component_->radio(); }
  // Tunes to `from`, then runs one step and returns where it went.
  int32_t Step(int32_t from, void (ModRadio::*step)()) {
    mod().TuneTo(from);
    ClearCalls();
    (mod().*step)();
    return mod().currentFreq();
  }
  std::string SetFrequencyCall() const {
    for (const auto& c : Trace())
      if (c.rfind("radioSetFrequency", 0) == 0) return c;
    return "";
  }
};

TEST_F(Tuning, TuneToSendsHertzAndLogs) {
  sdk_->Var("RadioDebug", Variant(true));
  radio_->StopRadio();
  Start();
  sdk_->log.clear();
  ClearCalls();
  mod().TuneTo(9580);
  EXPECT_EQ(Trace(), (Calls{"RDS_Stop(0)", "radioSetFrequency(0,95800000)", "RDS_Start(0)"}));
  EXPECT_EQ(sdk_->log, (Calls{"Halvane---> RadioTune=9580"}));
  EXPECT_EQ(radio_->Freq(), 9580);
}

TEST_F(Tuning, TuneToOverflowLeavesRdsOffAndTheFrequencyAlone) {
  int32_t f = 214749;
  EXPECT_EQ(ErrorOf([&] { radio_->Tune(f); }), kOverflow);
  EXPECT_EQ(Trace(), (Calls{"RDS_Stop(0)"}));
  EXPECT_EQ(radio_->Freq(), 8750);
  f = -214749;
  EXPECT_EQ(ErrorOf([&] { radio_->Tune(f); }), kOverflow);
  f = 214748;  // the largest that fits
  radio_->Tune(f);
  EXPECT_EQ(radio_->Freq(), 214748);
}

TEST_F(Tuning, MegahertzStepsWrapAtTheBandEdges) {
  EXPECT_EQ(Step(10750, &ModRadio::TuneUp), 8750);
  EXPECT_EQ(SetFrequencyCall(), "radioSetFrequency(0,87500000)");
  EXPECT_EQ(Step(10690, &ModRadio::TuneUp), 10790);
  EXPECT_EQ(Step(8800, &ModRadio::TuneDown), 10790);
  EXPECT_EQ(Step(8850, &ModRadio::TuneDown), 8750);
  EXPECT_EQ(Step(1000, &ModRadio::TuneUp), 1100);  // from AM: 100 kHz up, no band test
  EXPECT_EQ(Step(1000, &ModRadio::TuneDown), 10790);
}

TEST_F(Tuning, ChannelStepsOnTheChannelPlan) {
  EXPECT_EQ(Step(8750, &ModRadio::FineUp), 8770);
  EXPECT_EQ(Step(10790, &ModRadio::FineUp), 8750);
  EXPECT_EQ(Step(10770, &ModRadio::FineUp), 10790);
  EXPECT_EQ(Step(8770, &ModRadio::FineDown), 8750);
  EXPECT_EQ(Step(8750, &ModRadio::FineDown), 10790);
  // Off the plan: up to the next plan channel, down to the block's own channel.
  EXPECT_EQ(Step(9000, &ModRadio::FineUp), 9010);
  EXPECT_EQ(Step(9000, &ModRadio::FineDown), 9010);
  EXPECT_EQ(Step(9005, &ModRadio::FineUp), 9020);
  EXPECT_EQ(Step(9015, &ModRadio::FineDown), 9010);
  EXPECT_EQ(Step(10780, &ModRadio::FineUp), 10790);
}

TEST_F(Tuning, ChannelStepsWithAllFrequenciesAllowed) {
  sdk_->Var("allowallfreqs", Variant(true));
  EXPECT_EQ(Step(8750, &ModRadio::FineUp), 8760);
  EXPECT_EQ(Step(8760, &ModRadio::FineDown), 8750);
  EXPECT_EQ(Step(10790, &ModRadio::FineUp), 8750);
  EXPECT_EQ(Step(8750, &ModRadio::FineDown), 10790);
  EXPECT_EQ(Step(9000, &ModRadio::FineDown), 8990);
  sdk_->failingVars = {"=$allowallfreqs$"};  // unreadable counts as false
  EXPECT_EQ(Step(8750, &ModRadio::FineUp), 8770);
}

TEST_F(Tuning, ChannelStepsInTheAmPlan) {
  EXPECT_EQ(Step(1000, &ModRadio::FineUp), 1010);
  EXPECT_EQ(Step(1710, &ModRadio::FineUp), 530);
  EXPECT_EQ(Step(530, &ModRadio::FineDown), 1710);
  EXPECT_EQ(Step(540, &ModRadio::FineDown), 530);
  EXPECT_EQ(SetFrequencyCall(), "radioSetFrequency(0,5300000)");
}

TEST_F(Tuning, ChannelStepFromTheLowestValueTheTunerTakesIsAnAmStep) {
  mod().TuneTo(-214748);
  EXPECT_NO_THROW(mod().FineUp());
  EXPECT_EQ(mod().currentFreq(), -214738);
}

TEST_F(Tuning, SeekUpFindsAStationPausesAndReadsBack) {
  driver_->script.searchFound = {95800000};
  mod().SeekUp();
  EXPECT_EQ(Trace(),
            (Calls{"RDS_Stop(0)", "radioSearch(0,87500000,1,0)", "radioSetFrequency(0,95800000)",
                   "radioGetFrequency(0,95800000)", "RDS_Start(0)"}));
  ASSERT_EQ(sleeps_.size(), 1u);
  EXPECT_EQ(sleeps_[0], std::chrono::milliseconds(50));
  EXPECT_EQ(radio_->Freq(), 9580);
}

TEST_F(Tuning, SeekRunningOffTheBandWrapsToTheOtherEnd) {
  driver_->script.searchFound = {108000000};
  driver_->script.searchResults = {HALVANE_SEARCH_BAND_END};
  mod().SeekUp();
  EXPECT_EQ(SetFrequencyCall(), "radioSetFrequency(0,87500000)");
  EXPECT_EQ(radio_->Freq(), 8750);
  ClearCalls();
  driver_->script.searchFound = {87500000};
  driver_->script.searchResults = {HALVANE_SEARCH_BAND_END};
  mod().SeekDown();
  EXPECT_EQ(Trace()[1], "radioSearch(0,87500000,0,0)");
  EXPECT_EQ(SetFrequencyCall(), "radioSetFrequency(0,107900000)");
  EXPECT_EQ(radio_->Freq(), 10790);
}

TEST_F(Tuning, MissingSearchCountsAsAStopOnAStation) {
  driver_->script.failing = {"radioSearch"};
  mod().TuneTo(9000);
  ClearCalls();
  mod().SeekUp();
  EXPECT_EQ(SetFrequencyCall(), "radioSetFrequency(0,90000000)");
}

TEST_F(Tuning, FailedReadBackKeepsThePreSeekFrequency) {
  driver_->script.searchFound = {95800000};
  driver_->script.failing = {"radioGetFrequency"};
  mod().SeekUp();
  EXPECT_EQ(radio_->Freq(), 8750);
  EXPECT_EQ(Trace().back(), "RDS_Start(0)");
}

TEST_F(Tuning, ReadBackBeyondSixteenBitsIsOverflowWithRdsLeftOff) {
  driver_->script.searchFound = {400000000};
  EXPECT_EQ(ErrorOf([&] { mod().SeekUp(); }), kOverflow);
  EXPECT_EQ(Trace().back(), "radioGetFrequency(0,400000000)");
  EXPECT_EQ(radio_->Freq(), 8750);
}

TEST_F(Tuning, ReadBackRoundsTiesToEven) {
  driver_->script.searchFound = {87505000};
  mod().SeekUp();
  EXPECT_EQ(radio_->Freq(), 8750);
  driver_->script.searchFound = {87515000};
  mod().SeekUp();
  EXPECT_EQ(radio_->Freq(), 8752);
}

TEST_F(Tuning, ToggleMonoSendsTheNewState) {
  mod().ToggleMono();
  mod().ToggleMono();
  EXPECT_EQ(Trace(), (Calls{"radioForceMono(0,1)", "radioForceMono(0,0)"}));
  EXPECT_FALSE(mod().mono());
  radio_->StopRadio();
  ClearCalls();
  mod().ToggleMono();  // not ready: nothing sent, nothing changed
  EXPECT_TRUE(Trace().empty());
  EXPECT_FALSE(mod().mono());
}

}  // namespace
