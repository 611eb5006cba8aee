#include "screen_text.h"

#include <algorithm>
#include <string_view>

namespace host {
namespace {

char32_t CodePoint(const std::string& ch) {
  auto b = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(ch[i])); };
  switch (ch.size()) {
    case 1:
      return b(0);
    case 2:
      return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    case 3:
      return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    default:
      return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
  }
}

// U+00C0 to U+017F without their accents, two characters a code point (a blank pads the ones
// that need only one).
constexpr std::string_view kLatin1 =
    "A A A A A A AEC E E E E I I I I D N O O O O O x O U U U U Y THssa a a a a a aec e e e e i i "
    "i i d n o o o o o / o u u u u y thy ";
constexpr std::string_view kLatinExtendedA =
    "A a A a A a C c C c C c C c D d D d E e E e E e E e E e G g G g G g G g H h H h I i I i I i "
    "I i I i IJijJ j K k k L l L l L l L l L l N n N n N n n N n O o O o O o OEoeR r R r R r S s "
    "S s S s S s T t T t T t U u U u U u U u U u U u W w Y y Y Z z Z z Z z s ";

std::string_view Pair(std::string_view table, char32_t offset) {
  std::string_view two = table.substr(offset * 2, 2);
  return two[1] == ' ' ? two.substr(0, 1) : two;
}

std::string AsciiOf(char32_t cp) {
  if (cp >= 0xC0 && cp <= 0xFF) return std::string(Pair(kLatin1, cp - 0xC0));
  if (cp >= 0x100 && cp <= 0x17F) return std::string(Pair(kLatinExtendedA, cp - 0x100));
  switch (cp) {
    case 0xA0:
      return " ";
    case 0xB0:
      return "o";
    case 0xB7:
    case 0x2022:
      return "*";
    case 0x2018:
    case 0x2019:
      return "'";
    case 0x201C:
    case 0x201D:
      return "\"";
    case 0x2013:
    case 0x2014:
      return "-";
    case 0x2026:
      return "...";
    case 0x20AC:
      return "EUR";
    default:
      return "?";
  }
}

}  // namespace

std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> chars;
  for (size_t i = 0; i < text.size();) {
    size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
    chars.push_back(text.substr(i, n));
    i += n;
  }
  return chars;
}

int CharacterCount(const std::string& text) {
  return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string FitText(const std::string& text, int width) {
  std::string out;
  out.reserve(text.size() + static_cast<size_t>(std::max(width, 0)));
  int count = 0;
  for (size_t i = 0; i < text.size() && count < width; ++count) {
    size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
    const auto b0 = static_cast<unsigned char>(text[i]);
    const bool control =
        n == 1 ? b0 < 0x20 || b0 == 0x7F
               : n == 2 && b0 == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (control) {
      out += ' ';
    } else {
      out.append(text, i, n);
    }
    i += n;
  }
  if (count < width) out.append(static_cast<size_t>(width - count), ' ');
  return out;
}

std::string Ellipsize(const std::string& text, int width, bool ascii) {
  if (width <= 0) return {};
  const int count = CharacterCount(text);
  if (count <= width) return FitText(text, count);
  const std::string mark = ascii ? "..." : "\u2026";
  const int markWidth = ascii ? 3 : 1;
  if (width <= markWidth) return FitText(text, width);
  return FitText(text, width - markWidth) + mark;
}

std::string ToAscii(const std::string& text) {
  std::string out;
  for (const std::string& ch : Characters(text)) {
    if (ch.size() == 1) {
      out += ch;
      continue;
    }
    char32_t cp = CodePoint(ch);
    out += cp >= 0x80 && cp <= 0x9F ? " " : AsciiOf(cp);
  }
  return out;
}

}  // namespace host
