#include "json.h"

#include <gtest/gtest.h>

#include "halvane/dispatch.h"

namespace host {
namespace {

using halvane::Variant;

TEST(JsonString, EscapesQuotesBackslashesAndEveryControlCharacter) {
  EXPECT_EQ(JsonString("say \"hi\" \\ bye"), R"("say \"hi\" \\ bye")");
  EXPECT_EQ(JsonString(std::string("A\0B", 3)), R"("A\u0000B")");
  EXPECT_EQ(JsonString("a\r\nb\tc\x1f\x7f"), R"("a\u000d\u000ab\u0009c\u001f\u007f")");
  // C1 controls (U+0080..U+009F) are control characters too.
  EXPECT_EQ(JsonString("x\xC2\x85y"), R"("x\u0085y")");
}

TEST(JsonString, PassesUtf8ThroughAndReplacesBytesThatAreNotUtf8) {
  EXPECT_EQ(JsonString("CAFFÈ 99 € ½ 𝄞"), "\"CAFFÈ 99 € ½ 𝄞\"");
  EXPECT_EQ(JsonString("\xE9t\xE9"), "\"\xEF\xBF\xBDt\xEF\xBF\xBD\"");  // Latin-1 "été"
  EXPECT_EQ(JsonString("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");    // overlong "/"
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");  // surrogate
  EXPECT_EQ(JsonString("ab\xE2\x82"), "\"ab\xEF\xBF\xBD\xEF\xBF\xBD\"");              // cut short
}

TEST(JsonValue, GivesEachKindItsJsonForm) {
  EXPECT_EQ(JsonValue(Variant()), "null");
  EXPECT_EQ(JsonValue(Variant(true)), "true");
  EXPECT_EQ(JsonValue(Variant(false)), "false");
  EXPECT_EQ(JsonValue(Variant(int16_t{-2})), "-2");
  EXPECT_EQ(JsonValue(Variant(int32_t{61166})), "61166");
  EXPECT_EQ(JsonValue(Variant(0.1f)), "0.1");  // the single's shortest text, not 0.100000001
  EXPECT_EQ(JsonValue(Variant(2.5)), "2.5");
  EXPECT_EQ(JsonValue(Variant(1e300)), "1e+300");
  EXPECT_EQ(JsonValue(Variant("x")), "\"x\"");
  EXPECT_EQ(JsonValue(Variant(std::make_shared<halvane::MemberTable>())), "null");
}

TEST(JsonArray, JoinsEncodedValues) {
  EXPECT_EQ(JsonArray({}), "[]");
  EXPECT_EQ(JsonStringArray({"a", "b\"c"}), R"(["a","b\"c"])");
  EXPECT_EQ(JsonArray({"1", "true", "\"x\""}), R"([1,true,"x"])");
}

}  // namespace
}  // namespace host
