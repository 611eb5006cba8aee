// Every driver function in turn missing from the library, failing without writing anything, or
// answering an error code after writing its data. Each case runs a probe that shows what the
// function is relied on for, then a sweep of commands, skin queries and ticks: nothing may fail,
// and the preset list is saved only when the plug-in is made inactive.
#include <cstring>
#include <functional>

#include "halvane/errors.h"
#include "robustness_fixture.h"

namespace {

using namespace halvane;
using robustness::RobustnessTest;

enum class Fault { kNone, kMissing, kFailing, kErrorCode };

const char* Name(Fault f) {
  switch (f) {
    case Fault::kNone:
      return "working";
    case Fault::kMissing:
      return "missing";
    case Fault::kFailing:
      return "fails";
    case Fault::kErrorCode:
      return "answers 5";
  }
  return "";
}

class DriverFunctionFault : public RobustnessTest,
                            public ::testing::WithParamInterface<std::tuple<std::string, Fault>> {
 protected:
  const std::string& function() const { return std::get<0>(GetParam()); }
  Fault fault() const { return std::get<1>(GetParam()); }

  void SetUp() override {
    RobustnessTest::SetUp();
    WriteMainList();
    driver_->script.setFrequencyTracks = false;
    driver_->script.frequencyHz = 95800000;
    switch (fault()) {
      case Fault::kNone:
        break;
      case Fault::kMissing:
        sdk_->Var("DMPath", Variant(std::string(PARTIAL_DRIVER_HOMES) + function() + "/"));
        break;
      case Fault::kFailing:
        driver_->script.failing.insert(function());
        break;
      case Fault::kErrorCode:
        driver_->script.results[function()] = 5;
        break;
    }
  }

  // Shows what the function is relied on for: what the plug-in sees after one use of it.
  std::string Probe() {
    rec::Script& s = driver_->script;
    const std::string& f = function();
    if (f == HALVANE_FN_UNINITIALIZE) {
      radio_->StopRadio();
      return component_->radio().radioReady() ? "still ready" : "stopped";
    }
    if (f == HALVANE_FN_VOLUME_MUTE) {
      Command("radiomute");
      return "radiomute " + Indicator("radiomute");
    }
    if (f == HALVANE_FN_FORCE_MONO) {
      Command("mono");
      return component_->radio().mono() ? "mono" : "stereo allowed";
    }
    if (f == HALVANE_FN_SET_FREQUENCY) {
      s.setFrequencyTracks = true;
      Command("tuneup");
      return "tuner at " + std::to_string(s.frequencyHz) + ", Freq " +
             std::to_string(radio_->Freq());
    }
    if (f == HALVANE_FN_GET_FREQUENCY) {
      s.frequencyHz = 101100000;
      FireStatusTick();
      return "Freq " + std::to_string(radio_->Freq());
    }
    if (f == HALVANE_FN_SEARCH) {
      s.setFrequencyTracks = true;  // the seek reads back what it set
      s.searchFound = {101100000};
      Command("seekup");
      return "Freq " + std::to_string(radio_->Freq());
    }
    if (f == HALVANE_FN_RDS_STOP || f == HALVANE_FN_RDS_START) {
      Command("tuneup");
      return "Freq " + std::to_string(radio_->Freq());
    }
    if (f == HALVANE_FN_GET_STATE) {
      s.stateFlags = HALVANE_STATE_STEREO;
      return "stereo " + Indicator("stereo");
    }
    if (f == HALVANE_FN_DECODER_STATE) {
      s.decoderState = 0x000F;
      FireStatusTick();
      return "rsignal " + Label("rsignal");
    }
    // RDS_EvalData
    std::memcpy(s.record.ps, "CITY FM ", 8);
    FireStatusTick();
    return "rdsname '" + Label("rdsname") + "'";
  }

  // What the probe must show: a result that is relied on is not used when the call fails; a
  // result that is ignored changes nothing the plug-in does.
  std::string Expected() {
    const std::string& f = function();
    const bool failed = fault() != Fault::kNone;
    const bool wrote = fault() == Fault::kNone || fault() == Fault::kErrorCode;
    if (f == HALVANE_FN_UNINITIALIZE) return "stopped";
    if (f == HALVANE_FN_VOLUME_MUTE) return "radiomute True";
    if (f == HALVANE_FN_FORCE_MONO) return "mono";
    if (f == HALVANE_FN_SET_FREQUENCY)
      return std::string("tuner at ") + (wrote ? "96800000" : "95800000") + ", Freq 9680";
    if (f == HALVANE_FN_GET_FREQUENCY) return failed ? "Freq 9580" : "Freq 10110";
    // A search's result only says whether it ran off the band; the frequency is what it wrote.
    if (f == HALVANE_FN_SEARCH) return wrote ? "Freq 10110" : "Freq 9580";
    if (f == HALVANE_FN_RDS_STOP || f == HALVANE_FN_RDS_START) return "Freq 9680";
    if (f == HALVANE_FN_GET_STATE) return failed ? "stereo False" : "stereo True";
    if (f == HALVANE_FN_DECODER_STATE) return failed ? "rsignal 100%" : "rsignal 0%";
    return failed ? "rdsname ''" : "rdsname 'CITY FM '";
  }
};

TEST_P(DriverFunctionFault, IsIgnoredWhereTheResultIsNotReliedOnAndNeverEscapes) {
  Start();
  const bool initFails = function() == HALVANE_FN_INITIALIZE && fault() != Fault::kNone;
  if (initFails) {
    const std::string code = fault() == Fault::kErrorCode ? "5" : "-1";
    EXPECT_FALSE(component_->radio().radioReady());
    ASSERT_FALSE(sdk_->log.empty());
    EXPECT_EQ(sdk_->log.back(), "Halvane---> Initialize failed return code:" + code);
    EXPECT_FALSE(radio_->Check());
    EXPECT_EQ(sdk_->errscrns.size(), 1u);
    Activate(true);
    EXPECT_FALSE(radio_->IsActive());
    EXPECT_EQ(Cmd("seekup").value, "0");  // an inactive plug-in answers 0 and does nothing
    EXPECT_TRUE(SweepWithoutSaving().empty());
    EXPECT_TRUE(FireStatusTick());
    radio_->StopRadio();
    EXPECT_EQ(CacheFile("Radio.ini"), kMainList) << "a radio that never started saved its list";
    for (const auto& call : driver_->calls) EXPECT_EQ(call.name, HALVANE_FN_INITIALIZE);
    robustness::Report("driver", function() + "\t" + Name(fault()) + "\tstart fails (code " + code +
                                     "), Check shows the error screen, commands answer 0, list "
                                     "untouched");
    return;
  }
  ASSERT_TRUE(component_->radio().radioReady());
  Activate(true);
  ClearCalls();

  const robustness::Outcome probe = Run([&] { return Probe(); });
  ASSERT_TRUE(probe.ok()) << "error " << *probe.error << ": " << probe.value;
  EXPECT_EQ(probe.value, Expected());
  if (!component_->radio().radioReady()) {  // the probe of radioUninitialize stopped the radio
    Start();
    Activate(true);
    WriteMainList();
  }

  const auto errors = SweepWithoutSaving();
  EXPECT_TRUE(errors.empty()) << errors.begin()->first << " failed with " << errors.begin()->second;
  EXPECT_TRUE(FireStatusTick());
  EXPECT_EQ(CacheFile("Radio.ini"), kMainList) << "saved although no save was due";
  if (fault() == Fault::kMissing) {
    for (const auto& call : driver_->calls) EXPECT_NE(call.name, function());
  }

  Activate(false);
  component_->presets().ResetPresets();
  component_->presets().LoadPresets("");
  EXPECT_EQ(component_->presets().Count(), 3) << "the save at deactivation lost presets";
  if (fault() != Fault::kNone)
    robustness::Report("driver", function() + "\t" + Name(fault()) + "\t" + probe.value);
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<std::string, Fault>>& info) {
  static const char* const kFaults[] = {"Works", "Missing", "Fails", "AnswersErrorCode"};
  return std::get<0>(info.param) + "_" + kFaults[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(EveryFunction, DriverFunctionFault,
                         ::testing::Combine(::testing::ValuesIn(robustness::DriverFunctions()),
                                            ::testing::Values(Fault::kNone, Fault::kMissing,
                                                              Fault::kFailing, Fault::kErrorCode)),
                         CaseName);

}  // namespace
