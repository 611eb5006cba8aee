#include "halvane/encodings.h"

#include <gtest/gtest.h>

namespace halvane {
namespace {

TEST(Encodings, Utf8EncodesEveryLengthAsItDecodesAndReplacesWhatNoTextMayHold) {
  struct Case {
    char32_t c;
    const char* utf8;
  };
  const Case cases[] = {
      {U'A', "A"},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0xE9, "\xC3\xA9"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0x20AC, "\xE2\x82\xAC"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const Case& c : cases) {
    std::string out = "x";
    AppendUtf8(out, c.c);
    EXPECT_EQ(out, std::string("x") + c.utf8) << std::hex << uint32_t{c.c};
    char32_t back = 0;
    EXPECT_EQ(DecodeUtf8(out, 1, back), out.size() - 1);
    EXPECT_EQ(back, c.c);
  }
  for (const char32_t bad : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
    std::string out;
    AppendUtf8(out, bad);
    EXPECT_EQ(out, "\xEF\xBF\xBD") << std::hex << uint32_t{bad};
  }
}

}  // namespace
}  // namespace halvane
