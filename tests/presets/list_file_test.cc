#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "as_nobody.h"
#include "halvane/plugin.h"
#include "presets_fixture.h"
#include "under_asan.h"

namespace presets_test {
namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

class ListFile : public PresetsTest {};

// For files of megabytes: their sizes, then where they first differ, rather than both whole.
void ExpectSameBytes(const std::string& actual, const std::string& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  const size_t at = static_cast<size_t>(
      std::mismatch(actual.begin(), actual.end(), expected.begin()).first - actual.begin());
  EXPECT_EQ(at, actual.size()) << "from byte " << at << ": "
                               << testing::PrintToString(actual.substr(at, 40)) << " instead of "
                               << testing::PrintToString(expected.substr(at, 40));
}

TEST_F(ListFile, HeaderGivesStartFrequencyAndKeepsValuesItCannotRead) {
  struct Case {
    std::string header;
    int16_t start;
    int32_t value2, value3;
  };
  // Before each load the header values hold 5 and 7, as left by an earlier list.
  const Case cases[] = {
      {"8750|1|2", 8750, 1, 2},     {"10390", 10390, 5, 7}, {"abc|x|y", 0, 0, 0},
      {"9000|3", 9000, 3, 7},       {"40000|1|2", 0, 1, 2}, {"8750|99999999999|-4", 8750, 5, -4},
      {"8750,Morning", 8750, 5, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    WriteFile(MainList(), "8750|5|7\r\n");
    presets().LoadPresets("");
    WriteFile(MainList(), c.header + "\r\n9000,Jazz\r\n");
    EXPECT_EQ(presets().LoadPresets(""), c.start);
    EXPECT_EQ(presets().headerValue2(), c.value2);
    EXPECT_EQ(presets().headerValue3(), c.value3);
    EXPECT_EQ(Names(), Lines{"Jazz"});  // the header never becomes a preset
  }
}

TEST_F(ListFile, PresetLinesAreReadAndWrittenBackExactlyWithCrLf) {
  Start();  // with no list yet
  WriteFile(MainList(), "8750|4|5\n8750\n8750,\n08750,News,Talk\r 0999 ,AM\r\n9000,Caf\xe9 \x80\n");
  EXPECT_EQ(presets().LoadPresets(""), 8750);
  EXPECT_EQ(Freqs(), (Lines{"8750", "08750", " 0999 ", "9000"}));
  EXPECT_EQ(Names(),
            (Lines{"", "News", "AM", "Caf\u00e9 \u20ac"}));  // the last line is Windows-1252

  TuneTo(10390);
  presets().SavePresets();
  EXPECT_EQ(
      ReadFile(MainList()),
      "10390|4|5\r\n8750\n8750,\r\n08750,News\r\n 0999 ,AM\r\n9000,Caf\xc3\xa9 \xe2\x82\xac\r\n");
}

// Lines ended by CR alone, notes among them, are saved with CR LF throughout: a note keeps its
// text and takes the line end of the presets around it, the last line too.
TEST_F(ListFile, NotesOfACrOnlyListAreSavedWithCrLf) {
  Start();  // with no list yet: on 87.50 MHz
  const std::pair<std::string, std::string> cases[] = {
      {"8750\r9000,One\rnote\r\r9010,Two\rlast note\r",
       "8750|0|0\r\n9000,One\r\nnote\r\n\r\n9010,Two\r\nlast note\r\n"},
      {"8750\rhead note\r9000,One\rlast\r\rx",
       "8750|0|0\r\nhead note\r\n9000,One\r\nlast\r\n\r\nx\r\n"},
  };
  for (const auto& [file, saved] : cases) {
    SCOPED_TRACE(file);
    WriteFile(MainList(), file);
    presets().LoadPresets("");
    presets().SavePresets();
    EXPECT_EQ(ReadFile(MainList()), saved);
  }
}

TEST_F(ListFile, ModeChoosesTheFileAndOnlyTheLocalListImports) {
  const std::string other = dir_->path() + "/other.ini";
  WriteFile(MainList(), "8750\r\n9000,Main\r\n");
  WriteFile(LocalList(), "8800\r\n9100,Local\r\n");
  WriteFile(other, "8900\r\n9200,Other\r\n");

  EXPECT_EQ(presets().LoadPresets(other), 8750);  // the main list ignores the argument
  EXPECT_EQ(Names(), Lines{"Main"});
  radio_->LocalMode(true);
  EXPECT_EQ(presets().LoadPresets(""), 8800);
  EXPECT_EQ(Names(), Lines{"Local"});
  EXPECT_EQ(presets().LoadPresets(other), 8900);
  EXPECT_EQ(Names(), Lines{"Other"});
  EXPECT_EQ(presets().LoadPresets(dir_->path() + "/none.ini"), 0);
  EXPECT_TRUE(Names().empty());
}

TEST_F(ListFile, ImportCommandWritesTheFileIntoTheLocalList) {
  StartWith({"9000|0|0", "9000,Main"});
  const std::string other = dir_->path() + "/other.ini";
  WriteFile(other, "8900|1|1\r\n9200,Other\r\n");
  Command("loadpresets;" + other);
  EXPECT_TRUE(radio_->LocalMode());
  EXPECT_EQ(ReadFile(LocalList()), "9000|1|1\r\n9200,Other\r\n");
  EXPECT_EQ(ReadFile(MainList()), "9000|0|0\r\n9000,Main\r\n");
}

TEST_F(ListFile, SavingIntoAMissingFolderWritesAndReportsNothing) {
  StartWith({"9000", "9000,Jazz"});
  const std::string missing = dir_->path() + "/missing/";
  radio_->CachePath(missing);
  presets().LoadPresets("");    // the empty store of a folder that isn't there
  presets().AddPreset("News");  // which saves
  EXPECT_NO_THROW(presets().SavePresets());
  EXPECT_FALSE(FileExists(missing));
  EXPECT_TRUE(sdk_->errscrns.empty());
}

// Setting LocalMode or CachePath directly switches no list: the store still holds the list it was
// loaded from, and it is that list its saves write, never the other one.
TEST_F(ListFile, ASaveWritesTheListTheStoreCameFromWhateverTheSettingsSaySince) {
  WriteFile(LocalList(), "9100\r\n9100,Local\r\n");
  StartWith({"9000|0|0", "9000,Main"});
  const std::string elsewhere = dir_->path() + "/elsewhere/";
  std::filesystem::create_directories(elsewhere);
  radio_->LocalMode(true);
  radio_->CachePath(elsewhere);
  presets().AddPreset("Added");
  EXPECT_EQ(ReadFile(MainList()), "9000|0|0\r\n9000,Main\r\n9000,Added\r\n");
  EXPECT_EQ(ReadFile(LocalList()), "9100\r\n9100,Local\r\n");
  EXPECT_FALSE(FileExists(elsewhere + "RadioLocal.ini"));
  presets().LoadPresets("");  // a load takes the settings: the local list of the new folder
  presets().AddPreset("There");
  EXPECT_EQ(ReadFile(elsewhere + "RadioLocal.ini"), "9000|0|0\r\n9000,There\r\n");
}

TEST_F(ListFile, AStoreNeverLoadedDoesNotOverwriteTheList) {
  WriteFile(MainList(), "9000\r\n9000,Jazz\r\n");
  presets().SavePresets();
  EXPECT_EQ(ReadFile(MainList()), "9000\r\n9000,Jazz\r\n");
}

TEST_F(ListFile, TextThatHoldsNoPresetIsKeptApartFromTheStore) {
  Start();  // with no list yet: on 87.50 MHz
  // A megabyte of lines that are no presets, between presets and after the last one kept.
  std::string bytes = "8750\r\n9000,One\r\n" + std::string(1 << 20, 'x') + "\r\n9010,Two\r\n";
  for (int i = 0; i < 40000; ++i) bytes += "9020,Many\r\n";
  WriteFile(MainList(), bytes);
  presets().LoadPresets("");
  ASSERT_EQ(presets().Count(), 32767);
  EXPECT_EQ(presets().presetNames(1), "One");
  EXPECT_EQ(presets().presetNames(2), "Two");
  EXPECT_LT(presets().table().TextBytes(), size_t{32767} * 12);
  presets().SavePresets();
  ExpectSameBytes(ReadFile(MainList()), "8750|0|0" + bytes.substr(4));
}

// Blank lines and notes among the presets stay where they stood, through loads, saves and
// edits; only clearing the list drops them.
TEST_F(ListFile, LinesThatHoldNoPresetStayWhereTheyStood) {
  StartWith({"8750|0|0", "", "Jazz FM at 101.5", "10150,Jazz", "", "9000,News"});
  presets().SavePresets();
  const std::string kept = "8750|0|0\r\n\r\nJazz FM at 101.5\r\n10150,Jazz\r\n\r\n9000,News\r\n";
  EXPECT_EQ(ReadFile(MainList()), kept);
  presets().AddPreset("Added");
  EXPECT_EQ(ReadFile(MainList()), kept + "8750,Added\r\n");
  presets().RenamePreset("Smooth", 0);
  EXPECT_EQ(ReadFile(MainList()),
            "8750|0|0\r\n\r\nJazz FM at 101.5\r\n10150,Smooth\r\n\r\n9000,News\r\n8750,Added\r\n");
  presets().ResetPresets();
  presets().SavePresets();
  EXPECT_EQ(ReadFile(MainList()), "8750|0|0\r\n");
}

// A file with neither a header nor a preset (another file named by mistake, or a link to one)
// is no list: starting and stopping leave it as it is and the log says why; an edit of the
// user's writes the list.
TEST_F(ListFile, AFileThatIsNoListIsWrittenOnlyByAnEdit) {
  const std::string passwd =
      "root:x:0:0:root:/root:/bin/bash\nuser:x:1000:1000:User,,,:/home/user:/bin/bash\n";
  Start();
  WriteFile(MainList(), passwd);
  presets().LoadPresets("");
  presets().SavePresets();
  EXPECT_EQ(ReadFile(MainList()), passwd);
  ASSERT_FALSE(sdk_->log.empty());
  EXPECT_TRUE(sdk_->log.back().starts_with(HALVANE_LOG_SAVE_FAILED + MainList() + ": " +
                                           MainList() + " has neither"))
      << sdk_->log.back();
  presets().AddPreset("Mine");
  EXPECT_NE(ReadFile(MainList()).find("8750,Mine\r\n"), std::string::npos);
}

TEST_F(ListFile, TheStoreHoldsAtMost32767Presets) {
  std::string bytes = "8750\r\n";
  for (int i = 1; i <= 32769; ++i) bytes += "9000,P" + std::to_string(i) + "\r\n";
  WriteFile(MainList(), bytes);
  presets().LoadPresets("");
  ASSERT_EQ(presets().Count(), 32767);
  EXPECT_EQ(presets().presetNames(32767), "P32767");
  EXPECT_EQ(ErrorOf([&] { presets().AddPreset("one more"); }), halvane::kOverflow);
  EXPECT_EQ(presets().Count(), 32767);
}

// Lines past the 32767th preset can't be numbered, but a save keeps them: exactly as they were,
// after the store's presets. Clearing the store clears them too.
TEST_F(ListFile, LinesPastTheCapAreWrittenBackAsTheyWere) {
  Start();  // with no list yet
  std::string bytes = "8750\r\n";
  for (int i = 1; i <= 32767; ++i) bytes += "9000,P" + std::to_string(i) + "\r\n";
  const std::string beyond = "9000,Past\n9010,Caf\xe9\rno comma\r\n9020,Last";
  WriteFile(MainList(), bytes + beyond);
  presets().LoadPresets("");
  ASSERT_EQ(presets().Count(), 32767);
  TuneTo(9590);
  presets().RenamePreset("First", 0);  // an edit, which saves
  const std::string saved = ReadFile(MainList());
  ASSERT_GT(saved.size(), beyond.size());
  EXPECT_EQ(saved.substr(saved.size() - beyond.size()), beyond);
  EXPECT_EQ(saved.substr(0, 20), "9590|0|0\r\n9000,First");
  presets().LoadPresets("");  // and they come back the same
  presets().SavePresets();
  ExpectSameBytes(ReadFile(MainList()), saved);
  presets().ResetPresets();
  presets().SavePresets();
  EXPECT_EQ(ReadFile(MainList()), "9590|0|0\r\n");
}

// A list that is there but can't be read (here: write-only to its owner, the unprivileged user
// the plug-in runs as) is not an empty list: no save writes over it until a load succeeds, and
// the log says why, debugging off.
TEST_F(ListFile, AListThatCantBeReadIsNeverWrittenOver) {
  StartWith({"9000", "9000,Jazz"});
  for (const std::string& p : {dir_->path(), CacheDir(), MainList()})
    ASSERT_TRUE(testing_support::LendToNobody(p));
  ::chmod(MainList().c_str(), 0200);
  const int logged = testing_support::AsNobody([&] {
    presets().LoadPresets("");
    presets().AddPreset("Added");  // an edit, which saves
    presets().SavePresets();
    if (sdk_->log.size() != 2) return 10 + static_cast<int>(sdk_->log.size());
    return sdk_->log[0].starts_with(HALVANE_LOG_SAVE_FAILED + MainList() + ": the list ") ? 0 : 1;
  });
  EXPECT_EQ(logged, 0);
  ::chmod(MainList().c_str(), 0644);
  EXPECT_EQ(ReadFile(MainList()), "9000\r\n9000,Jazz\r\n");
  EXPECT_EQ(testing_support::ModeOf(MainList()), 0644u);
  presets().LoadPresets("");  // readable again: saves go on
  presets().AddPreset("Added");
  EXPECT_EQ(ReadFile(MainList()), "9000|0|0\r\n9000,Jazz\r\n9000,Added\r\n");
}

// Callers hear nothing of a failed save, but the log always says which file and why; the first
// save that succeeds after failures says so too.
TEST_F(ListFile, AFailedSaveIsLoggedWhateverTheLogSwitch) {
  StartWith({"9000", "9000,Jazz"});
  ASSERT_TRUE(sdk_->log.empty());  // debugging is off
  const std::string missing = dir_->path() + "/missing/";
  radio_->CachePath(missing);
  presets().LoadPresets("");  // the store of the folder that isn't there
  EXPECT_NO_THROW(presets().SavePresets());
  EXPECT_NO_THROW(presets().SavePresets());
  std::filesystem::remove(MainList());
  std::filesystem::create_directory(MainList());  // a folder where the list belongs
  radio_->CachePath(CacheDir());
  presets().LoadPresets("");
  presets().SavePresets();
  std::filesystem::remove(MainList());
  presets().SavePresets();
  presets().SavePresets();
  EXPECT_EQ(sdk_->log,
            (Lines{HALVANE_LOG_SAVE_FAILED + missing + "Radio.ini: No such file or directory",
                   HALVANE_LOG_SAVE_FAILED + missing + "Radio.ini: No such file or directory",
                   HALVANE_LOG_SAVE_FAILED + MainList() + ": not a regular file",
                   HALVANE_LOG_SAVED_AGAIN + MainList()}));
}

// A save with no memory left to put the list together writes nothing and says so in the log.
TEST_F(ListFile, ASaveWithoutMemoryForTheListIsLogged) {
#ifdef HALVANE_UNDER_ASAN
  GTEST_SKIP() << "the sanitizer's shadow memory does not live within an address-space limit";
#else
  // Lines ended by LF alone: a save copies every one of them to add its CR, a megabyte in all.
  std::string bytes = "8750\n";
  for (int i = 1; i <= 32767; ++i) bytes += "9000,Station number " + std::to_string(i) + "\n";
  WriteFile(MainList(), bytes);
  StartActive();
  sdk_->log.clear();
  const pid_t child = ::fork();
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t room = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (64 << 10);
    const rlimit limit{room, room};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
    presets().SavePresets();
    _exit(sdk_->log == Lines{HALVANE_LOG_SAVE_FAILED + MainList() +
                             ": no memory to put the list together"}
              ? 0
              : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the log did not say the save failed for want of memory";
  EXPECT_EQ(ReadFile(MainList()), bytes);
#endif
}

}  // namespace
}  // namespace presets_test
