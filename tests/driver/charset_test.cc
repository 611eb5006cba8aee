#include "rds/charset.h"

#include <gtest/gtest.h>

namespace halvane::driver::rds {
namespace {

TEST(Charset, RdsBytesBecomeWindows1252) {
  EXPECT_EQ(RdsToWindows1252('A'), 'A');
  EXPECT_EQ(RdsToWindows1252('z'), 'z');
  EXPECT_EQ(RdsToWindows1252(0x24), 0xA4);  // the basic set has the currency sign here...
  EXPECT_EQ(RdsToWindows1252(0xAB), '$');   // ...and the dollar here
  EXPECT_EQ(RdsToWindows1252(0x82), 0xE9);  // é
  EXPECT_EQ(RdsToWindows1252(0x8D), 0xDF);  // ß
  EXPECT_EQ(RdsToWindows1252(0xA9), 0x80);  // € sits in Windows-1252's own range
  EXPECT_EQ(RdsToWindows1252(0xA3), 0x89);  // ‰
  EXPECT_EQ(RdsToWindows1252(0xCC), 0x8A);  // Š
  EXPECT_EQ(RdsToWindows1252(0xE3), 0x8C);  // Œ
  EXPECT_EQ(RdsToWindows1252(0x7E), 0xAF);  // overline as macron
}

TEST(Charset, CharactersWindows1252LacksBecomeBlanks) {
  EXPECT_EQ(RdsToWindows1252(0x5E), kBlank);  // horizontal bar
  EXPECT_EQ(RdsToWindows1252(0xA1), kBlank);  // α
  EXPECT_EQ(RdsToWindows1252(0xAC), kBlank);  // ←
  EXPECT_EQ(RdsToWindows1252(kEndOfText), kBlank);
  EXPECT_EQ(RdsToWindows1252(0x00), kBlank);
  EXPECT_EQ(RdsToWindows1252(0xFF), kBlank);
}

TEST(Charset, TextBecomesRdsBytes) {
  EXPECT_EQ(EncodeRdsText("Café ½ $ ж"),
            (std::vector<uint8_t>{'C', 'a', 'f', 0x82, ' ', 0xBD, ' ', 0xAB, ' ', kBlank}));
}

TEST(Charset, InvalidUtf8FallsBackToWindows1252) {
  EXPECT_EQ(DecodeText("Z\xC3\xBCrich"), U"Zürich");
  EXPECT_EQ(DecodeText("Z\xFCrich"), U"Zürich");       // a Windows-1252 ü
  EXPECT_EQ(DecodeText("\x80 \xC3"), U"€ Ã");          // truncated sequence at the end
  EXPECT_EQ(DecodeText("\xC0\xAF"), U"À¯");            // overlong form is not UTF-8
  EXPECT_EQ(DecodeText("\xED\xA0\x80"), U"í\u00A0€");  // nor is a surrogate
  EXPECT_EQ(DecodeText("\xF0\x9F\x8E\xB5"), U"\U0001F3B5");
}

}  // namespace
}  // namespace halvane::driver::rds
