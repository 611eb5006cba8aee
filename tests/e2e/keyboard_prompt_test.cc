#include "keyboard_prompt.h"

#include <gtest/gtest.h>

#include "field_line.h"

namespace host {
namespace {

// The cursor moves by characters, not bytes: editing around "È" never splits it.
TEST(KeyboardPrompt, EditsAtTheCursorByCharacters) {
  KeyboardPrompt p("addpreset");
  for (char32_t c : U"CAFÈ99") p.Insert(c);
  p.Left();
  p.Left();
  p.Insert(U' ');
  EXPECT_EQ(p.text(), "CAFÈ 99");
  p.Left();
  p.Backspace();  // the È
  EXPECT_EQ(p.text(), "CAF 99");
  p.Home();
  p.Delete();
  p.End();
  p.Insert(U'!');
  p.Insert(U'\x07');  // control characters are refused
  EXPECT_EQ(p.text(), "AF 99!");
  EXPECT_EQ(p.cursor(), 6);
  p.Right();
  EXPECT_EQ(p.cursor(), 6);

  // A text longer than the line scrolls so the cursor stays in view.
  KeyboardPrompt longText("");
  for (int i = 0; i < 30; ++i) longText.Insert(static_cast<char32_t>('a' + i % 26));
  KeyboardPrompt::View v = longText.Visible(10);
  EXPECT_EQ(v.text, "vwxyzabcd");
  EXPECT_EQ(v.cursor, 9);
  longText.Home();
  EXPECT_EQ(longText.Visible(10).text, "abcdefghij");
  EXPECT_EQ(longText.Visible(10).cursor, 0);
}

TEST(KeyboardPrompt, HandsThePluginTheLocalesDecimalMark) {
  const struct {
    const char* command;
    const char* typed;
    char mark;
    const char* handed;
  } cases[] = {
      {"tune", "87.5", ',', "87,5"},
      {"tune", "87,5", '.', "87.5"},
      {"tune", "1040", ',', "1040"},
      {"tune", "1.000,5", ',', "1.000,5"},
      {"", "rtune;104.5", ',', "rtune;104,5"},
      {"", "RTune;104,5", '.', "RTune;104.5"},
      {"", "savepreset;a.b", ',', "savepreset;a.b"},
      {"addpreset", "Radio 1.5", ',', "Radio 1.5"},
  };
  for (const auto& c : cases) {
    KeyboardPrompt p(c.command);
    for (char ch : std::string(c.typed)) p.Insert(static_cast<char32_t>(ch));
    EXPECT_EQ(p.TextForPlugin(c.mark), c.handed) << c.command << " " << c.typed;
  }
}

// Fields give way by priority: a brief form, then a cut, then out; once one is out, every less
// important one goes too, and two blanks always stand between fields.
TEST(LayFields, DropsInOrderOfImportanceAndNeverTouches) {
  const std::vector<Field> fields = {
      {"FM  104.5 MHz", 0}, {"JAZZ 104", 1}, {"P12  A long name", 2, true, true, "P12"}};
  EXPECT_EQ(LayFields(fields, 41, false), "FM  104.5 MHz  JAZZ 104  P12  A long name");
  EXPECT_EQ(LayFields(fields, 34, false), "FM  104.5 MHz  JAZZ 104  P12  A l…");
  EXPECT_EQ(LayFields(fields, 28, false), "FM  104.5 MHz  JAZZ 104  P12");
  EXPECT_EQ(LayFields(fields, 24, false), "FM  104.5 MHz  JAZZ 104 ");
  EXPECT_EQ(LayFields({{"search off", 0}, {"list main", 2}, {"seek mode off", 1}}, 24, false),
            "search off              ");
}

}  // namespace
}  // namespace host
