#include <filesystem>

#include "presets_fixture.h"

namespace presets_test {
namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

class LocalLists : public PresetsTest {};

TEST_F(LocalLists, ToggleSavesTheListLeftLoadsTheOtherAndRedrawsWithoutRetuning) {
  WriteFile(LocalList(), "8800\r\n9100,Local\r\n");
  StartWith({"9000", "9000,Main"});
  presets().RenamePreset("Main edited", 0);
  std::filesystem::remove(MainList());

  presets().ToggleLocalPresets(screen_);
  EXPECT_TRUE(radio_->LocalMode());
  EXPECT_EQ(Names(), Lines{"Local"});
  EXPECT_EQ(ReadFile(MainList()), "9000|0|0\r\n9000,Main edited\r\n");
  EXPECT_EQ(screen_->list->rows, Lines{"1. 91.0 - Local"});
  EXPECT_TRUE(Trace().empty());

  presets().ToggleLocalPresets(screen_);
  EXPECT_FALSE(radio_->LocalMode());
  EXPECT_EQ(Names(), Lines{"Main edited"});
  EXPECT_EQ(ReadFile(LocalList()), "9000|0|0\r\n9100,Local\r\n");
}

TEST_F(LocalLists, SetToTheActiveModeDoesNothing) {
  StartWith({"9000", "9000,Main"});
  std::filesystem::remove(MainList());
  presets().SetLocalPresets(screen_, false);
  EXPECT_FALSE(FileExists(MainList()));
  EXPECT_TRUE(screen_->list->events.empty());

  presets().SetLocalPresets(screen_, true);
  EXPECT_TRUE(radio_->LocalMode());
  EXPECT_TRUE(FileExists(MainList()));
  EXPECT_TRUE(Names().empty());  // no local list yet
}

}  // namespace
}  // namespace presets_test
