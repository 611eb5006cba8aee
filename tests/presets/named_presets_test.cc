#include <filesystem>

#include "as_nobody.h"
#include "presets_fixture.h"

namespace presets_test {
namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

class NamedPresets : public PresetsTest {
 protected:
  std::string Folder() const { return ConfigDir() + "FMPresets/"; }
};

TEST_F(NamedPresets, SavingCreatesTheFolderAndOneLine) {
  StartActive();
  TuneTo(10390);
  presets().SaveNamedPreset("Morning news");
  EXPECT_EQ(ReadFile(Folder() + "Morning news.fm"), "10390\r\n");
  TuneTo(9000);
  presets().SaveNamedPreset("Morning news");  // the folder exists now; the file is replaced
  EXPECT_EQ(ReadFile(Folder() + "Morning news.fm"), "9000\r\n");
}

TEST_F(NamedPresets, LoadingTunesTheStoredFrequency) {
  StartActive();
  std::filesystem::create_directories(Folder());
  WriteFile(Folder() + "jazz.fm", "10390\r\n");
  Command("loadpreset;jazz");
  EXPECT_EQ(radio_->Freq(), 10390);
  EXPECT_EQ(Trace(), (Lines{"RDS_Stop(0)", "radioSetFrequency(0,103900000)", "RDS_Start(0)"}));
}

TEST_F(NamedPresets, MissingFileIsIgnoredAndEmptyFileIsAnError) {
  StartActive();
  EXPECT_EQ(ErrorOf([&] { presets().LoadNamedPreset("absent"); }), 0);
  std::filesystem::create_directories(Folder());
  WriteFile(Folder() + "empty.fm", "");
  EXPECT_EQ(ErrorOf([&] { presets().LoadNamedPreset("empty"); }), halvane::kInputPastEnd);
  EXPECT_TRUE(Trace().empty());
}

TEST_F(NamedPresets, SavingWithoutTheConfigurationFolderFails) {
  StartActive();
  radio_->ConfigPath(dir_->path() + "/missing/");
  EXPECT_EQ(ErrorOf([&] { presets().SaveNamedPreset("x"); }), halvane::kPathNotFound);
}

// Any valid file name can be saved (the longest, 80 CJK characters), and a file this process may
// not write is left as it is with error 75: run unprivileged, which a privileged run would hide.
TEST_F(NamedPresets, AnyValidNameSavesAndAReadOnlyFileIsError75) {
  StartActive();
  TuneTo(9590);
  std::string cjk;
  for (int i = 0; i < 80; ++i) cjk += "\xe5\x8f\xb0";
  const std::string longest(255 - 3, 'n');  // with ".fm", the longest file name
  for (const std::string& name : {cjk, longest}) {
    EXPECT_EQ(ErrorOf([&] { presets().SaveNamedPreset(name); }), 0);
    EXPECT_EQ(ReadFile(Folder() + name + ".fm"), "9590\r\n");
  }
  WriteFile(Folder() + "kept.fm", "9000\r\n");
  ::chmod((Folder() + "kept.fm").c_str(), 0444);
  for (const std::string& p : {dir_->path(), ConfigDir(), Folder(), Folder() + "kept.fm"})
    ASSERT_TRUE(testing_support::LendToNobody(p));
  EXPECT_EQ(testing_support::AsNobody(
                [&] { return ErrorOf([&] { presets().SaveNamedPreset("kept"); }); }),
            halvane::kPathFileAccess);
  EXPECT_EQ(ReadFile(Folder() + "kept.fm"), "9000\r\n");
  EXPECT_EQ(testing_support::ModeOf(Folder() + "kept.fm"), 0444u);
}

TEST_F(NamedPresets, NamesThatLeaveTheFolderAreRefused) {
  StartActive();
  WriteFile(ConfigDir() + "outside.fm", "9000\r\n");
  const std::string names[] = {"",         ".",   "..",   "../outside",           "..\\outside",
                               "a/b",      "a\n", "a\tb", std::string("a\0b", 3), "\x7f",
                               "a\xc2\x85"};
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ErrorOf([&] { presets().SaveNamedPreset(name); }), halvane::kBadFileName);
    EXPECT_EQ(ErrorOf([&] { presets().LoadNamedPreset(name); }), halvane::kBadFileName);
  }
  EXPECT_FALSE(FileExists(Folder()));
  EXPECT_EQ(ReadFile(ConfigDir() + "outside.fm"), "9000\r\n");
  EXPECT_TRUE(Trace().empty());
}

}  // namespace
}  // namespace presets_test
