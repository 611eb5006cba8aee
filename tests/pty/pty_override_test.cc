#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "halvane/errors.h"
#include "plugin_fixture.h"
#include "pty/mod_rds_pty_strings.h"

namespace {

using halvane::ModRdsPtyStrings;
using testing_support::TempDir;
using testing_support::WriteFile;

class PtyOverride : public ::testing::Test {
 protected:
  std::string Folder() const { return dir_.path() + "/"; }
  // Loads the RDS set with this "RDS.ini"; answers the error number raised, 0 for none.
  int LoadRds(const std::string& contents) {
    WriteFile(dir_ / "RDS.ini", contents);
    try {
      pty_.LoadPtyNames(false, Folder());
    } catch (const halvane::RuntimeError& e) {
      return e.number();
    }
    return 0;
  }

  TempDir dir_;
  ModRdsPtyStrings pty_;
};

TEST_F(PtyOverride, EachLineRule) {
  struct Case {
    const char* file;
    int16_t code;
    const char* name;
  };
  const Case cases[] = {
      {"  NEWS   =   Nachrichten  \r\n", 1, "Nachrichten"},  // any case, blanks trimmed
      {"\tnews=Tab in key\r\n", 1, "News"},                  // tabs are not trimmed ...
      {"sport=\tSport\t\r\n", 4, "\tSport\t"},               // ... from key or value
      {"sports=Deportes\r\n", 3, "Information"},             // RBDS keys mean nothing here
      {"talk=Charla\r\n", 4, "Sport"},
      {"pop = Pop = Musik\r\n", 10, "Pop"},                         // a second "=" ends the value
      {"#news=Commented\r\n", 1, "News"},                           // "#" in the first column
      {" #news=Indented\r\n", 1, "News"},                           // after a blank: an unknown key
      {"\r\n   \r\n\r\nnews=After blanks\r\n", 1, "After blanks"},  // blank lines skipped
      {"news=\r\n", 1, ""},                                         // an empty value empties
      {"news=First\r\nNews=Second\r\n", 1, "Second"},               // the later line wins
      {"colour=blue\r\njust words\r\nweather=Wetter\r\n", 16, "Wetter"},  // unknown: ignored
      {"news=Actualit\xE9s\r\n", 1, "Actualit\xC3\xA9s"},                 // Windows-1252 is decoded
      {"news=Fu\xC3\x9F"
       "ball\r\n",
       1,
       "Fu\xC3\x9F"
       "ball"},  // UTF-8 is kept
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoadRds(c.file), 0) << c.file;
    EXPECT_EQ(pty_.PtyName(c.code), c.name) << c.file;
    EXPECT_EQ(pty_.PtyName(18), "Children\xE2\x80\x99s programmes") << c.file;
  }
}

TEST_F(PtyOverride, CrLfAndLfFilesAndBareCr) {
  LoadRds("# German\r\nnews = Nachrichten\r\n\r\npop = Popmusik\r\n");
  EXPECT_EQ(pty_.PtyName(1), "Nachrichten");
  EXPECT_EQ(pty_.PtyName(10), "Popmusik");
  LoadRds("# German\nnews = Nachrichten\n\npop = Popmusik\n");
  EXPECT_EQ(pty_.PtyName(1), "Nachrichten");
  EXPECT_EQ(pty_.PtyName(10), "Popmusik");
  LoadRds("news=Cr\rsport=Last");
  EXPECT_EQ(pty_.PtyName(1), "Cr");
  EXPECT_EQ(pty_.PtyName(4), "Last");
}

TEST_F(PtyOverride, AKnownKeyWithoutEqualsSignEndsTheReadKeepingEarlierNames) {
  EXPECT_EQ(LoadRds("news=Nachrichten\r\n  SPORT  \r\nweather=Wetter\r\n"),
            halvane::kSubscriptRange);
  EXPECT_EQ(pty_.PtyName(1), "Nachrichten");
  EXPECT_EQ(pty_.PtyName(4), "Sport");
  EXPECT_EQ(pty_.PtyName(16), "Weather");
}

TEST_F(PtyOverride, RbdsReadsItsOwnFileWithItsOwnKeys) {
  WriteFile(dir_ / "RDS.ini", "news=From the RDS file\r\n");
  WriteFile(dir_ / "RBDS.ini", "sports=Deportes\r\nsport=Ignored\r\nemergency=Alerta\r\n");
  pty_.LoadPtyNames(true, Folder());
  EXPECT_EQ(pty_.PtyName(1), "News");
  EXPECT_EQ(pty_.PtyName(3), "Deportes");
  EXPECT_EQ(pty_.PtyName(4), "Talk");
  EXPECT_EQ(pty_.PtyName(31), "Alerta");
}

TEST_F(PtyOverride, OnlyAnOrdinaryFileOfTheExactNameGluedToTheFolderCounts) {
  WriteFile(dir_ / "rds.ini", "news=Lower-case name\r\n");
  pty_.LoadPtyNames(false, Folder());
  EXPECT_EQ(pty_.PtyName(1), "News");
  WriteFile(dir_ / "cfgRDS.ini", "news=Glued\r\n");
  pty_.LoadPtyNames(false, dir_ / "cfg");
  EXPECT_EQ(pty_.PtyName(1), "Glued");
  std::filesystem::create_directory(dir_ / "RDS.ini");
  pty_.LoadPtyNames(false, Folder());  // each load starts from the defaults again
  EXPECT_EQ(pty_.PtyName(1), "News");
}

}  // namespace

namespace {

// The names themselves are held against the skin reference; these are the rules around them.
TEST(PtyDefaults, RbdsAfterRdsKeepsTwentyFourToTwentyEightAndCodesOutOfRangeAnswerAsTheyShould) {
  const std::string noFolder = "/nonexistent-halvane-config/";
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(true, noFolder);
  EXPECT_EQ(pty.PtyName(24), "");
  pty.LoadPtyNames(false, noFolder);
  pty.LoadPtyNames(true, noFolder);
  EXPECT_EQ(pty.PtyName(24), "Jazz music");
  EXPECT_EQ(pty.PtyName(5), "Rock music");
  EXPECT_EQ(pty.PtyName(40), "");
  EXPECT_EQ(pty.PtyName(32767), "");
  try {
    pty.PtyName(-1);
    FAIL() << "no error";
  } catch (const halvane::RuntimeError& e) {
    EXPECT_EQ(e.number(), halvane::kSubscriptRange);
  }
}

}  // namespace
