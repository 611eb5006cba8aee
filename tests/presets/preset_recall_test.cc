#include "presets_fixture.h"

namespace presets_test {
namespace {

class PresetRecall : public PresetsTest {
 protected:
  void StartWithThree() {
    StartWith({"8750", "9000,A", "9100.6,B", "1000,C"});
    ClearCalls();
  }
  // The frequencies the driver was told to tune, in the plug-in's units.
  std::vector<int32_t> Tuned() const {
    std::vector<int32_t> out;
    for (const auto& call : driver_->calls)
      if (call.name == "radioSetFrequency")
        out.push_back(static_cast<int32_t>(call.args[1] / 10000));
    return out;
  }
};

TEST_F(PresetRecall, RecallTunesTheRoundedFrequencyAndIgnoresNumbersOutsideTheStore) {
  StartWithThree();
  for (int16_t n : {0, -1, 4}) presets().RecallPreset(n);
  EXPECT_TRUE(Trace().empty());
  presets().RecallPreset(2);
  EXPECT_EQ(Tuned(), std::vector<int32_t>{9101});
  EXPECT_EQ(presets().currentPreset(), 2);
}

TEST_F(PresetRecall, NextWrapsToTheFirstAndPreviousStopsThere) {
  StartWithThree();
  presets().PreviousPreset();  // no current preset: nothing
  presets().NextPreset();      // none -> 1
  presets().NextPreset();      // 1 -> 2
  presets().NextPreset();      // 2 -> 3
  presets().NextPreset();      // 3 -> 1
  presets().PreviousPreset();  // 1: nothing
  presets().RecallPreset(3);
  presets().PreviousPreset();  // 3 -> 2
  EXPECT_EQ(Tuned(), (std::vector<int32_t>{9000, 9101, 1000, 9000, 1000, 9101}));
  EXPECT_EQ(presets().currentPreset(), 2);
}

TEST_F(PresetRecall, AnEmptyStoreStepsNowhere) {
  StartActive();
  presets().NextPreset();
  presets().PreviousPreset();
  presets().RecallPreset(1);
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(presets().currentPreset(), 0);
}

TEST_F(PresetRecall, AFrequencyBeyond32BitsFailsTheRecall) {
  StartWith({"8750", "99999999999,Huge"});
  EXPECT_EQ(ErrorOf([&] { presets().RecallPreset(1); }), halvane::kOverflow);
  EXPECT_EQ(presets().currentPreset(), 0);
}

}  // namespace
}  // namespace presets_test
