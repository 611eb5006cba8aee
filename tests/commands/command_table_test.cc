// Splitting a command string and finding the row of the command table that takes it.
#include "plugin/command_table.h"

#include <gtest/gtest.h>

#include "runtime/ascii.h"

namespace {

using namespace halvane;
using Fields = std::vector<std::string>;

TEST(CommandFields, SplitAtEverySemicolonKeepingEmptyFields) {
  EXPECT_EQ(CommandFields(""), (Fields{""}));
  EXPECT_EQ(CommandFields(";"), (Fields{"", ""}));
  EXPECT_EQ(CommandFields("rtune;"), (Fields{"rtune", ""}));
  EXPECT_EQ(CommandFields("a;b;;c;"), (Fields{"a", "b", "", "c", ""}));
  EXPECT_EQ(CommandFields("loadlist;/tmp/a b.ini"), (Fields{"loadlist", "/tmp/a b.ini"}));
}

// Only the word is lower-cased, and only its ASCII letters: arguments stay as the host sent them.
TEST(CommandFields, LowerCasingTouchesOnlyTheWordsAsciiLetters) {
  EXPECT_EQ(CommandFields("SeekUP"), (Fields{"seekup"}));
  EXPECT_EQ(CommandFields("FREQ+ÄÖ;ÄÖ Up"), (Fields{"freq+ÄÖ", "ÄÖ Up"}));
  EXPECT_EQ(CommandFields("@[`{"), (Fields{"@[`{"}));  // the neighbours of the letter ranges
}

// A word with a capital letter in the table could never match a lower-cased command.
TEST(CommandTableLookup, EveryRowIsReachable) {
  for (const CommandInfo& row : CommandTable()) {
    SCOPED_TRACE(std::string(row.word));
    EXPECT_EQ(row.word, AsciiLowered(row.word));
    EXPECT_FALSE(DescribeFields(row.fields).empty());
  }
}

}  // namespace
