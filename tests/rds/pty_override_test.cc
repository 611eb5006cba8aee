#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "halvane/errors.h"
#include "plugin_fixture.h"
#include "rds/mod_rds_pty_strings.h"

namespace {

using halvane::ModRdsPtyStrings;
using testing_support::TempDir;
using testing_support::WriteFile;

class PtyOverride : public ::testing::Test {
 protected:
  std::string Folder() const { return dir.path() + "/"; }
  // Loads the RDS set with the given "RDS.ini" contents.
  void LoadRds(const std::string& contents) {
    WriteFile(dir / "RDS.ini", contents);
    pty.LoadPtyNames(false, Folder());
  }
  // The error number a load raises, 0 when it raises nothing.
  int LoadRdsError(const std::string& contents) {
    try {
      LoadRds(contents);
    } catch (const halvane::RuntimeError& e) {
      return e.number();
    }
    return 0;
  }
  void ExpectDefaultsExceptCode(int16_t changed) {
    ModRdsPtyStrings defaults;
    defaults.LoadPtyNames(false, "/nonexistent-halvane-config/");
    for (int16_t code = 0; code <= 31; ++code) {
      if (code != changed) {
        EXPECT_EQ(pty.PtyName(code), defaults.PtyName(code)) << code;
      }
    }
  }

  TempDir dir;
  ModRdsPtyStrings pty;
};

TEST_F(PtyOverride, KeyIsCaseInsensitiveAndKeyAndValueLoseTheirBlanks) {
  LoadRds("  NEWS   =   Nachrichten  \r\n");
  EXPECT_EQ(pty.PtyName(1), "Nachrichten");
  ExpectDefaultsExceptCode(1);
}

TEST_F(PtyOverride, TabsAreNotTrimmedFromKeyOrValue) {
  LoadRds("\tnews=Tabbed key\r\nsport=\tSport\t\r\n");
  EXPECT_EQ(pty.PtyName(1), "News");
  EXPECT_EQ(pty.PtyName(4), "\tSport\t");
}

TEST_F(PtyOverride, KeysOfTheOtherStandardChangeNothing) {
  LoadRds("sports=Deportes\r\ntalk=Charla\r\nemergency=Emergencia\r\n");
  ExpectDefaultsExceptCode(-1);
}

TEST_F(PtyOverride, RbdsReadsItsOwnFileWithItsOwnKeys) {
  WriteFile(dir / "RDS.ini", "news=From the RDS file\r\n");
  WriteFile(dir / "RBDS.ini", "sports=Deportes\r\nsport=Ignored\r\nemergency=Alerta\r\n");
  pty.LoadPtyNames(true, Folder());
  EXPECT_EQ(pty.PtyName(1), "News");
  EXPECT_EQ(pty.PtyName(3), "Deportes");
  EXPECT_EQ(pty.PtyName(4), "Talk");
  EXPECT_EQ(pty.PtyName(31), "Alerta");
}

TEST_F(PtyOverride, TextAfterASecondEqualsSignIsDropped) {
  LoadRds("pop = Pop = Musik\r\n");
  EXPECT_EQ(pty.PtyName(10), "Pop");
}

TEST_F(PtyOverride, CommentsCountOnlyInTheFirstColumn) {
  LoadRds("#news=Commented\r\n #news=Indented\r\nsport=Sports\r\n");
  EXPECT_EQ(pty.PtyName(1), "News");
  EXPECT_EQ(pty.PtyName(4), "Sports");
  ExpectDefaultsExceptCode(4);
}

TEST_F(PtyOverride, EmptyAndBlankLinesAreSkippedAndReadingGoesOn) {
  LoadRds("\r\n   \r\n\r\nnews=After blanks\r\n");
  EXPECT_EQ(pty.PtyName(1), "After blanks");
}

TEST_F(PtyOverride, AnEmptyValueEmptiesTheName) {
  LoadRds("news=\r\nalarm =   \r\n");
  EXPECT_EQ(pty.PtyName(1), "");
  EXPECT_EQ(pty.PtyName(31), "");
}

TEST_F(PtyOverride, TheLaterOfTwoLinesWins) {
  LoadRds("news=First\r\nNews=Second\r\n");
  EXPECT_EQ(pty.PtyName(1), "Second");
}

TEST_F(PtyOverride, UnknownKeysAreIgnoredWithOrWithoutEqualsSign) {
  LoadRds("colour=blue\r\njust some words\r\nweather=Wetter\r\n");
  EXPECT_EQ(pty.PtyName(16), "Wetter");
  ExpectDefaultsExceptCode(16);
}

TEST_F(PtyOverride, AKnownKeyWithoutEqualsSignEndsTheReadKeepingEarlierNames) {
  EXPECT_EQ(LoadRdsError("news=Nachrichten\r\n  SPORT  \r\nweather=Wetter\r\n"),
            halvane::kSubscriptRange);
  EXPECT_EQ(pty.PtyName(1), "Nachrichten");
  EXPECT_EQ(pty.PtyName(4), "Sport");
  EXPECT_EQ(pty.PtyName(16), "Weather");
}

TEST_F(PtyOverride, LinesEndAtCrLfLfOrCr) {
  LoadRds("news=CrLf\r\nsport=Lf\nweather=Cr\rfinance=Last");
  EXPECT_EQ(pty.PtyName(1), "CrLf");
  EXPECT_EQ(pty.PtyName(4), "Lf");
  EXPECT_EQ(pty.PtyName(16), "Cr");
  EXPECT_EQ(pty.PtyName(17), "Last");
}

TEST_F(PtyOverride, AFileWithLfOnlyIsReadLineByLine) {
  LoadRds("# German names\nnews = Nachrichten\n\npop = Popmusik\n");
  EXPECT_EQ(pty.PtyName(1), "Nachrichten");
  EXPECT_EQ(pty.PtyName(10), "Popmusik");
  EXPECT_EQ(pty.PtyName(4), "Sport");
}

TEST_F(PtyOverride, Windows1252TextIsDecodedAndUtf8KeptAsItIs) {
  LoadRds(
      "news=Actualit\xE9s\r\nsport=Fu\xC3\x9F"
      "ball\r\n");
  EXPECT_EQ(pty.PtyName(1), "Actualit\xC3\xA9s");
  EXPECT_EQ(pty.PtyName(4),
            "Fu\xC3\x9F"
            "ball");
}

TEST_F(PtyOverride, TheFileNameIsExactAndFollowsTheFolderWithoutASeparator) {
  WriteFile(dir / "rds.ini", "news=Lower-case file name\r\n");
  pty.LoadPtyNames(false, Folder());
  EXPECT_EQ(pty.PtyName(1), "News");

  // "<folder>/cfg" + "RDS.ini": the name is glued on as given.
  WriteFile(dir / "cfgRDS.ini", "news=Glued\r\n");
  pty.LoadPtyNames(false, dir / "cfg");
  EXPECT_EQ(pty.PtyName(1), "Glued");
}

TEST_F(PtyOverride, AFolderNamedLikeTheFileLeavesTheDefaults) {
  std::filesystem::create_directory(dir / "RDS.ini");
  pty.LoadPtyNames(false, Folder());
  EXPECT_EQ(pty.PtyName(1), "News");
}

TEST_F(PtyOverride, EachLoadStartsFromTheDefaultsAgain) {
  LoadRds("news=Nachrichten\r\n");
  std::filesystem::remove(dir / "RDS.ini");
  pty.LoadPtyNames(false, Folder());
  EXPECT_EQ(pty.PtyName(1), "News");
}

}  // namespace
