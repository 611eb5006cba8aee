// The preset-store commands: importing a list file, clearing, switching lists, deleting, moving,
// and named presets.
#include <gtest/gtest.h>

#include <filesystem>

#include "command_fixture.h"

namespace {

using namespace halvane;
using namespace commands_test;
using testing_support::ReadFile;
using testing_support::WriteFile;
using Strings = std::vector<std::string>;

class PresetCommands : public CommandTest {
 protected:
  std::string Imported() const { return dir_->path() + "/import.ini"; }
  void ExpectUntouched() {
    EXPECT_FALSE(radio_->LocalMode());
    EXPECT_EQ(Names(), (Strings{"One", "Two", "Three"}));
    EXPECT_EQ(ReadFile(CacheDir() + "Radio.ini"), kMainList);
    EXPECT_EQ(ReadFile(CacheDir() + "RadioLocal.ini"), kLocalList);
    EXPECT_TRUE(screen_->list->events.empty());
  }
};

TEST_F(PresetCommands, ImportingAListMakesItTheLocalList) {
  WriteFile(Imported(), "10000|7|8\r\n10390,Jazz\r\n1040,Talk\r\n");
  for (const char* word : {"loadpresets", "LoadList"}) {
    SCOPED_TRACE(word);
    if (radio_->LocalMode()) Command("local");
    EXPECT_EQ(Command(std::string(word) + ";" + Imported() + ";more"), 2);
    EXPECT_TRUE(radio_->LocalMode());
    EXPECT_EQ(Names(), (Strings{"Jazz", "Talk"}));
    EXPECT_EQ(ReadFile(CacheDir() + "RadioLocal.ini"), "9590|7|8\r\n10390,Jazz\r\n1040,Talk\r\n");
    EXPECT_EQ(screen_->list->rows, (Strings{"1. 103.9 - Jazz", "2. 1040 - Talk"}));
  }
  EXPECT_EQ(ReadFile(CacheDir() + "Radio.ini"), kMainList);
  EXPECT_TRUE(Trace().empty());  // importing does not retune
}

// A move is saved only with the next save; leaving the main list for an import is one.
TEST_F(PresetCommands, AnImportSavesTheMainListItLeaves) {
  WriteFile(Imported(), "10000|7|8\r\n10390,Jazz\r\n");
  screen_->plValue = Variant(int32_t{1});
  EXPECT_EQ(Command("movepreset;up"), 2);
  EXPECT_EQ(ReadFile(CacheDir() + "Radio.ini"), kMainList);
  EXPECT_EQ(Command("loadpresets;" + Imported()), 2);
  EXPECT_EQ(ReadFile(CacheDir() + "Radio.ini"),
            "9590|0|0\r\n9590,Two\r\n8750,One\r\n10010,Three\r\n");
}

TEST_F(PresetCommands, AnEmptyPathReloadsTheLocalList) {
  EXPECT_EQ(Command("loadpresets;"), 2);
  EXPECT_TRUE(radio_->LocalMode());
  EXPECT_EQ(Names(), (Strings{"Local"}));
  EXPECT_EQ(ReadFile(CacheDir() + "RadioLocal.ini"), "9590|0|0\r\n9000,Local\r\n");
}

TEST_F(PresetCommands, ImportWithoutASecondFieldFailsBeforeAnythingChanges) {
  Running(SModes::PresetLearn);
  EXPECT_EQ(ErrorOfCommand("loadpresets"), kSubscriptRange);
  EXPECT_EQ(ErrorOfCommand("LOADLIST"), kSubscriptRange);
  ExpectUntouched();
  EXPECT_EQ(radio_->SearchMode(), SModes::PresetLearn);  // closing steps skipped
}

TEST_F(PresetCommands, ImportOfAFileThatIsNotThereFailsBeforeAnythingChanges) {
  EXPECT_EQ(ErrorOfCommand("loadpresets;" + dir_->path() + "/typo.ini"), kFileNotFound);
  EXPECT_EQ(ErrorOfCommand("loadlist;" + CacheDir()), kFileNotFound);  // a folder
  WriteFile(dir_->path() + "/Import.ini", "9000|0|0\r\n9000,X\r\n");
  EXPECT_EQ(ErrorOfCommand("loadlist;" + Imported()), kFileNotFound);  // names are exact
  ExpectUntouched();
}

TEST_F(PresetCommands, ClearingEmptiesTheListOnScreenAndOnDisk) {
  EXPECT_EQ(Command("clearpresets"), 2);
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(screen_->list->events.front(), "Clear");
  EXPECT_EQ(ReadFile(CacheDir() + "Radio.ini"), "9590|0|0\r\n");
  EXPECT_TRUE(Trace().empty());
}

TEST_F(PresetCommands, LocalSwitchesToTheOtherListAndBack) {
  EXPECT_EQ(Command("local"), 2);
  EXPECT_TRUE(radio_->LocalMode());
  EXPECT_EQ(screen_->list->rows, (Strings{"1. 90.0 - Local"}));
  EXPECT_EQ(Command("Local;x"), 2);
  EXPECT_FALSE(radio_->LocalMode());
  EXPECT_EQ(Names(), (Strings{"One", "Two", "Three"}));
  EXPECT_TRUE(Trace().empty());
}

TEST_F(PresetCommands, DelpresetDeletesTheHighlightedRowOfTheRadioScreen) {
  screen_->list->value = Variant(int32_t{0});
  EXPECT_EQ(Command("delpreset"), 2);
  EXPECT_EQ(Names(), (Strings{"Two", "Three"}));
  EXPECT_EQ(ReadFile(CacheDir() + "Radio.ini"), "9590|0|0\r\n9590,Two\r\n10010,Three\r\n");
  EXPECT_EQ(Command("delpreset", fake::PlainScreen()), 2);  // elsewhere: nothing
  EXPECT_EQ(Names(), (Strings{"Two", "Three"}));
}

TEST_F(PresetCommands, MovepresetMovesTheCurrentRowEitherWay) {
  screen_->plValue = Variant(int32_t{1});
  EXPECT_EQ(Command("movepreset;UP"), 2);
  EXPECT_EQ(Names(), (Strings{"Two", "One", "Three"}));
  EXPECT_EQ(screen_->list->valuesWritten.back(), 0);  // the highlight follows the current preset
  screen_->plValue = Variant(int32_t{0});
  EXPECT_EQ(Command("MovePreset;Down"), 2);
  EXPECT_EQ(Names(), (Strings{"One", "Two", "Three"}));
  for (const char* malformed : {"movepreset", "movepreset;left", "movepreset;up;x"}) {
    EXPECT_EQ(Command(malformed), 0);
  }
  EXPECT_EQ(Names(), (Strings{"One", "Two", "Three"}));
}

TEST_F(PresetCommands, NamedPresetsKeepTheNameAsTyped) {
  EXPECT_EQ(Command("SAVEPRESET;Home Station"), 2);
  EXPECT_EQ(ReadFile(ConfigDir() + "FMPresets/Home Station.fm"), "9590\r\n");
  Command("tuneup");
  EXPECT_EQ(Command("loadpreset;home station"), 2);  // another name
  EXPECT_EQ(radio_->Freq(), 9690);
  EXPECT_EQ(Command("LoadPreset;Home Station"), 2);
  EXPECT_EQ(radio_->Freq(), 9590);
}

TEST_F(PresetCommands, NamedPresetCommandsNeedExactlyOneNonEmptyName) {
  for (const char* cmd : {"savepreset", "savepreset;", "savepreset;a;b", "loadpreset",
                          "loadpreset;", "loadpreset;a;b"}) {
    SCOPED_TRACE(cmd);
    EXPECT_EQ(Command(cmd), 2);
  }
  EXPECT_FALSE(std::filesystem::exists(ConfigDir() + "FMPresets"));
  EXPECT_TRUE(Trace().empty());
}

}  // namespace
