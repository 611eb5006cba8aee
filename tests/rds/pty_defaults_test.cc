#include <gtest/gtest.h>

#include <array>
#include <string>

#include "halvane/errors.h"
#include "rds/mod_rds_pty_strings.h"

namespace {

using halvane::ModRdsPtyStrings;

// Written out here apart from the plug-in's tables, so a slip in either shows. Code 18's
// apostrophe is U+2019.
// clang-format off
const std::array<std::string, 32> kRds = {
    "", "News", "Current affairs", "Information", "Sport", "Education", "Drama", "Culture",
    "Science", "Varied", "Pop music", "Rock music", "M.O.R.", "Light classical",
    "Serious classical", "Other music", "Weather", "Finance", "Children\xE2\x80\x99s programmes",
    "Social affairs", "Religion", "Phone in", "Travel", "Leisure", "Jazz music", "Country music",
    "National music", "Oldies music", "Folk music", "Documentary", "Alarm test", "Alarm"};
const std::array<std::string, 32> kRbds = {
    "", "News", "Information", "Sports", "Talk", "Rock music", "Classic rock", "Adult hits",
    "Soft rock", "Top 40", "Country music", "Oldies music", "Soft music", "Nostalgia",
    "Jazz music", "Classical", "R&B music", "Soft R&B", "Language", "Religious music",
    "Religious talk", "Personality", "Public", "College", "", "", "", "", "", "Weather",
    "Emergency test", "ALERT! ALERT!"};
// clang-format on

const std::string kNoFolder = "/nonexistent-halvane-config/";

TEST(PtyDefaults, RdsNamesEveryCodeAndCodesAboveThirtyOneAreEmpty) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(false, kNoFolder);
  for (int code = 0; code <= 255; ++code)
    EXPECT_EQ(pty.PtyName(static_cast<int16_t>(code)), code < 32 ? kRds[code] : "") << code;
  EXPECT_EQ(pty.PtyName(32767), "");
}

TEST(PtyDefaults, RbdsOnAFreshTableLeavesZeroAndTwentyFourToTwentyEightEmpty) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(true, kNoFolder);
  for (int16_t code = 0; code <= 31; ++code) EXPECT_EQ(pty.PtyName(code), kRbds[code]) << code;
  EXPECT_EQ(pty.PtyName(40), "");
}

TEST(PtyDefaults, RbdsAfterRdsKeepsTheRdsNamesOfTwentyFourToTwentyEight) {
  ModRdsPtyStrings pty;
  pty.LoadPtyNames(false, kNoFolder);
  pty.LoadPtyNames(true, kNoFolder);
  for (int16_t code = 1; code <= 31; ++code)
    EXPECT_EQ(pty.PtyName(code), code >= 24 && code <= 28 ? kRds[code] : kRbds[code]) << code;
}

TEST(PtyDefaults, ANegativeCodeIsASubscriptError) {
  ModRdsPtyStrings pty;
  try {
    pty.PtyName(-1);
    FAIL() << "no error";
  } catch (const halvane::RuntimeError& e) {
    EXPECT_EQ(e.number(), halvane::kSubscriptRange);
  }
}

}  // namespace
