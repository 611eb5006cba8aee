#include <gtest/gtest.h>

#include <array>
#include <string>

#include "halvane/errors.h"
#include "rds/mod_rds_pty_strings.h"

namespace {

using halvane::ModRdsPtyStrings;

// Written out here independently of the plug-in's tables, so a slip in either shows.
const std::array<std::string, 32> kRdsNames = {
    "",
    "News",
    "Current affairs",
    "Information",
    "Sport",
    "Education",
    "Drama",
    "Culture",
    "Science",
    "Varied",
    "Pop music",
    "Rock music",
    "M.O.R.",
    "Light classical",
    "Serious classical",
    "Other music",
    "Weather",
    "Finance",
    "Children\xE2\x80\x99s programmes",
    "Social affairs",
    "Religion",
    "Phone in",
    "Travel",
    "Leisure",
    "Jazz music",
    "Country music",
    "National music",
    "Oldies music",
    "Folk music",
    "Documentary",
    "Alarm test",
    "Alarm",
};

const std::array<std::string, 32> kRbdsNames = {
    "",
    "News",
    "Information",
    "Sports",
    "Talk",
    "Rock music",
    "Classic rock",
    "Adult hits",
    "Soft rock",
    "Top 40",
    "Country music",
    "Oldies music",
    "Soft music",
    "Nostalgia",
    "Jazz music",
    "Classical",
    "R&B music",
    "Soft R&B",
    "Language",
    "Religious music",
    "Religious talk",
    "Personality",
    "Public",
    "College",
    "",
    "",
    "",
    "",
    "",
    "Weather",
    "Emergency test",
    "ALERT! ALERT!",
};

// A folder that holds no name file.
const std::string kNoFolder = "/nonexistent-halvane-config/";

TEST(PtyDefaults, EveryNameBeforeTheFirstLoadIsEmpty) {
  ModRdsPtyStrings pty;
  for (int16_t code = 0; code <= 31; ++code) EXPECT_EQ(pty.PtyName(code), "") << code;
}

TEST(PtyDefaults, RdsSetNamesEveryCodeFromOneToThirtyOne) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(false, kNoFolder);
  for (int16_t code = 0; code <= 31; ++code) EXPECT_EQ(pty.PtyName(code), kRdsNames[code]) << code;
}

TEST(PtyDefaults, RbdsSetOnAFreshTableLeavesCodesZeroAndTwentyFourToTwentyEightEmpty) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(true, kNoFolder);
  for (int16_t code = 0; code <= 31; ++code) EXPECT_EQ(pty.PtyName(code), kRbdsNames[code]) << code;
}

TEST(PtyDefaults, RbdsAfterRdsKeepsTheRdsNamesOfTwentyFourToTwentyEight) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(false, kNoFolder);
  pty.LoadPtyNames(true, kNoFolder);
  for (int16_t code = 24; code <= 28; ++code) EXPECT_EQ(pty.PtyName(code), kRdsNames[code]);
  EXPECT_EQ(pty.PtyName(23), "College");
  EXPECT_EQ(pty.PtyName(29), "Weather");
}

TEST(PtyDefaults, RdsAfterRbdsReplacesEveryRbdsName) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(true, kNoFolder);
  pty.LoadPtyNames(false, kNoFolder);
  for (int16_t code = 1; code <= 31; ++code) EXPECT_EQ(pty.PtyName(code), kRdsNames[code]);
}

TEST(PtyDefaults, CodeEighteenCarriesATypographicApostropheInUtf8) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(false, kNoFolder);
  EXPECT_EQ(pty.PtyName(18).substr(8, 3), "\xE2\x80\x99");
}

TEST(PtyDefaults, CodesAboveThirtyOneAreEmptyAndNegativeCodesAreASubscriptError) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(false, kNoFolder);
  for (int code = 32; code <= 255; ++code)
    EXPECT_EQ(pty.PtyName(static_cast<int16_t>(code)), "") << code;
  EXPECT_EQ(pty.PtyName(32767), "");
  try {
    pty.PtyName(-1);
    FAIL() << "no error";
  } catch (const halvane::RuntimeError& e) {
    EXPECT_EQ(e.number(), halvane::kSubscriptRange);
  }
}

}  // namespace
