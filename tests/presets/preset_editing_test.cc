#include <filesystem>

#include "presets_fixture.h"

namespace presets_test {
namespace {

using testing_support::FileExists;
using testing_support::ReadFile;

class PresetEditing : public PresetsTest {
 protected:
  // Three presets, tuned to the middle one; the list file is removed so a save shows.
  void StartWithThree() {
    StartWith({"9100", "9000,A", "9100,B", "9200,C"});
    presets().SelectCurrentPreset(screen_);
    Forget();
  }
  void Forget() {
    std::filesystem::remove(MainList());
    screen_->list->events.clear();
  }
  bool Saved() const { return FileExists(MainList()); }
};

TEST_F(PresetEditing, AddStoresTheTunedFrequencyOnOneLineAndSaves) {
  StartWithThree();
  presets().AddPreset("Jazz\r\nFM, late");
  presets().AddPreset("");
  EXPECT_EQ(Freqs(), (Lines{"9000", "9100", "9200", "9100", "9100"}));
  EXPECT_EQ(Names().back(), "");
  EXPECT_EQ(ReadFile(MainList()),
            "9100|0|0\r\n9000,A\r\n9100,B\r\n9200,C\r\n9100,Jazz  FM, late\r\n9100,\r\n");
  EXPECT_TRUE(screen_->list->events.empty());  // the callers redraw
}

TEST_F(PresetEditing, RenameChangesOnlyTheNameOfAnExistingRow) {
  StartWithThree();
  presets().RenamePreset("Bee", -1);
  EXPECT_FALSE(Saved());
  EXPECT_EQ(ErrorOf([&] { presets().RenamePreset("Bee", 3); }), halvane::kSubscriptRange);
  EXPECT_FALSE(Saved());
  presets().RenamePreset("Bee\nTwo", 1);
  EXPECT_EQ(Names(), (Lines{"A", "Bee Two", "C"}));
  EXPECT_EQ(Freqs(), (Lines{"9000", "9100", "9200"}));
  EXPECT_TRUE(Saved());
}

TEST_F(PresetEditing, DeleteRemovesTheHighlightedPresetRedrawsAndSaves) {
  const std::pair<int32_t, Lines> cases[] = {{0, {"B", "C"}}, {1, {"A", "C"}}, {2, {"A", "B"}}};
  for (const auto& [row, left] : cases) {
    SCOPED_TRACE(row);
    StartWithThree();
    screen_->list->value = row;
    presets().DeletePreset(screen_);
    EXPECT_EQ(Names(), left);
    EXPECT_EQ(screen_->list->rows.size(), 2u);
    EXPECT_TRUE(Saved());
    radio_->StopRadio();
  }
}

TEST_F(PresetEditing, DeletingTheOnlyPresetLeavesTheHeaderAlone) {
  StartWith({"9000", "9000,A"});
  screen_->list->value = 0;
  presets().DeletePreset(screen_);
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(ReadFile(MainList()), "9000|0|0\r\n");
  EXPECT_EQ(ErrorOf([&] { presets().DeletePreset(screen_); }), halvane::kSubscriptRange);
}

TEST_F(PresetEditing, DeleteWithoutAPresetRowChangesNothing) {
  StartWithThree();
  for (int32_t row : {-2, 3, 40}) {
    screen_->list->value = row;
    EXPECT_EQ(ErrorOf([&] { presets().DeletePreset(screen_); }), halvane::kSubscriptRange);
  }
  auto keyboard = fake::KeyboardScreen();
  presets().DeletePreset(keyboard);
  EXPECT_EQ(keyboard->events, Lines{"Tag?"});
  EXPECT_EQ(Names(), (Lines{"A", "B", "C"}));
  EXPECT_FALSE(Saved());
}

TEST_F(PresetEditing, MoveSwapsWithTheNeighbourAndRedrawsWithoutSaving) {
  StartWithThree();
  screen_->plValue = int32_t{1};
  presets().MovePreset(screen_, true);
  EXPECT_EQ(Names(), (Lines{"B", "A", "C"}));
  EXPECT_EQ(screen_->list->rows[0], "1. 91.0 - B");
  presets().MovePreset(screen_, false);
  EXPECT_EQ(Names(), (Lines{"B", "C", "A"}));
  EXPECT_EQ(Freqs(), (Lines{"9100", "9200", "9000"}));
  EXPECT_FALSE(Saved());
}

TEST_F(PresetEditing, MoveStopsAtTheEndsAndWithoutACurrentPreset) {
  StartWithThree();
  const std::pair<int32_t, bool> refused[] = {{0, true}, {2, false}, {3, true}, {-1, false}};
  for (const auto& [row, up] : refused) {
    screen_->plValue = row;
    presets().MovePreset(screen_, up);
  }
  auto hidden = std::make_shared<fake::Screen>("radio_player.skin", false);
  hidden->plValue = int32_t{1};
  presets().MovePreset(hidden, true);
  TuneTo(8750);
  presets().SelectCurrentPreset(screen_);
  screen_->plValue = int32_t{1};
  presets().MovePreset(screen_, true);
  presets().MovePreset(screen_, false);
  presets().MovePreset(nullptr, true);
  EXPECT_EQ(Names(), (Lines{"A", "B", "C"}));
  EXPECT_EQ(screen_->list->events, Lines{"Value=-2"});  // only the highlight, no redraw
}

}  // namespace
}  // namespace presets_test
