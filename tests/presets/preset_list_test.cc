#include "presets_fixture.h"

namespace presets_test {
namespace {

class PresetList : public PresetsTest {};

TEST_F(PresetList, RowsShowFmInMegahertzAndAmAsStoredInTheUsersLocale) {
  const Lines list = {"8750", "10390,FM", "1000,News", "1710,Edge", "1711,Above", "0999,Lead"};
  StartWith(list);
  presets().FillPresetList(screen_);
  EXPECT_EQ(screen_->list->rows, (Lines{"1. 103.9 - FM", "2. 1000 - News", "3. 1710 - Edge",
                                        "4. 17.1 - Above", "5. 0999 - Lead"}));
  EXPECT_EQ(screen_->list->events.front(), "Clear");
  EXPECT_EQ(screen_->list->events.back(), "CenterList");

  SetLocale(",", ".", 1031);
  presets().FillPresetList(screen_);
  EXPECT_EQ(screen_->list->rows[0], "1. 103,9 - FM");
  EXPECT_EQ(screen_->list->rows[3], "4. 17,1 - Above");
}

TEST_F(PresetList, HighlightIsTheCurrentRowOrMinusTwoAndTheLastMatchWins) {
  StartWith({"8750", "9000,A", "9100,B", "9000.0,C"});
  presets().SelectCurrentPreset(screen_);
  EXPECT_EQ(presets().currentPreset(), 0);
  TuneTo(9100);
  presets().SelectCurrentPreset(screen_);
  EXPECT_EQ(presets().currentPreset(), 2);
  TuneTo(9000);
  presets().SelectCurrentPreset(screen_);
  EXPECT_EQ(presets().currentPreset(), 3);
  EXPECT_EQ(screen_->list->valuesWritten, (std::vector<int32_t>{-2, 1, 2}));

  presets().RecallPreset(1);  // 9000 as well, but the fill takes the last match
  presets().FillPresetList(screen_);
  EXPECT_EQ(presets().currentPreset(), 3);
}

TEST_F(PresetList, AScreenWithoutTheListGetsNoRowsAndNoHighlight) {
  StartWith({"9000", "9000,A", "9100,B"});
  auto plain = fake::PlainScreen();
  presets().RecallPreset(2);
  TuneTo(9000);
  presets().FillPresetList(plain);
  EXPECT_EQ(presets().currentPreset(), 2);
  presets().SelectCurrentPreset(plain);
  EXPECT_EQ(presets().currentPreset(), 1);
  EXPECT_EQ(plain->events, (Lines{"ShowPL?", "ShowPL?"}));
  EXPECT_TRUE(plain->list->events.empty());
}

TEST_F(PresetList, WhileInactiveTheHighlightIsComputedButNotShown) {
  StartWith({"9000", "9000,A"});
  Activate(false);
  presets().SelectCurrentPreset(screen_);
  EXPECT_EQ(presets().currentPreset(), 1);
  EXPECT_EQ(screen_->events, Lines{"ShowPL?"});
  EXPECT_TRUE(screen_->list->events.empty());
}

TEST_F(PresetList, FailingHostCallsLeaveTheHighlightAlone) {
  StartWith({"9000", "9000,A"});
  screen_->Remove("PL");
  EXPECT_NO_THROW(presets().SelectCurrentPreset(screen_));
  EXPECT_EQ(presets().currentPreset(), 1);
  EXPECT_EQ(ErrorOf([&] { presets().FillPresetList(screen_); }), halvane::kNoMember);
  EXPECT_NO_THROW(presets().SelectCurrentPreset(nullptr));
}

}  // namespace
}  // namespace presets_test
