// Splitting a command string and finding the row of the command table that takes it.
#include "plugin/command_table.h"

#include <gtest/gtest.h>

namespace {

using namespace halvane;
using Fields = std::vector<std::string>;

TEST(CommandFields, SplitAtEverySemicolonKeepingEmptyFields) {
  EXPECT_EQ(SplitFields(""), (Fields{""}));
  EXPECT_EQ(SplitFields(";"), (Fields{"", ""}));
  EXPECT_EQ(SplitFields("rtune;"), (Fields{"rtune", ""}));
  EXPECT_EQ(SplitFields("a;b;;c;"), (Fields{"a", "b", "", "c", ""}));
  EXPECT_EQ(SplitFields("loadlist;/tmp/a b.ini"), (Fields{"loadlist", "/tmp/a b.ini"}));
}

TEST(CommandFields, LowerCasingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(LowerAscii("SeekUP"), "seekup");
  EXPECT_EQ(LowerAscii("FREQ+;ÄÖ"), "freq+;ÄÖ");
  EXPECT_EQ(LowerAscii("@[`{"), "@[`{");  // the neighbours of the letter ranges
}

// A word with a capital letter in the table could never match a lower-cased command.
TEST(CommandTableLookup, EveryRowIsReachable) {
  for (const CommandInfo& row : CommandTable()) {
    SCOPED_TRACE(std::string(row.word));
    EXPECT_EQ(row.word, LowerAscii(row.word));
    EXPECT_FALSE(DescribeFields(row.fields).empty());
  }
}

}  // namespace
