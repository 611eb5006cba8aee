#include "rds/charset.h"

#include <array>

#include "rds/charset_tables.h"

namespace halvane::driver::rds {
namespace {

// Windows-1252 byte of a Unicode character, or 0 when it has none (0 itself is never wanted).
uint8_t UnicodeToWindows1252(char32_t c) {
  if (c == 0) return 0;
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
  for (size_t i = 0; i < kWindows1252High.size(); ++i) {
    if (kWindows1252High[i] == c) return static_cast<uint8_t>(0x80 + i);
  }
  return 0;
}

std::array<uint8_t, 256> BuildRdsToWindows1252() {
  std::array<uint8_t, 256> table{};
  for (size_t i = 0; i < table.size(); ++i) {
    const uint8_t byte = UnicodeToWindows1252(kRdsBasicCharset[i]);
    table[i] = byte != 0 ? byte : kBlank;
  }
  return table;
}

char32_t Windows1252ToUnicode(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) {
    const char32_t c = kWindows1252High[byte - 0x80];
    return c != 0 ? c : U' ';
  }
  return byte;
}

// Length of the UTF-8 sequence at the start of `text` and its character; 0 when invalid.
size_t DecodeUtf8(std::string_view text, char32_t& out) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(0);
  size_t length;
  char32_t c;
  if (lead < 0x80) {
    out = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i) & 0x3F);
  }
  // Reject overlong forms, surrogates and values past Unicode's end.
  static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMinimum[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
  out = c;
  return length;
}

}  // namespace

uint8_t RdsToWindows1252(uint8_t rds) {
  static const std::array<uint8_t, 256> table = BuildRdsToWindows1252();
  return table[rds];
}

uint8_t UnicodeToRds(char32_t c) {
  if (c == 0) return kBlank;
  for (size_t i = 0; i < kRdsBasicCharset.size(); ++i) {
    if (kRdsBasicCharset[i] == c) return static_cast<uint8_t>(i);
  }
  return kBlank;
}

std::u32string DecodeText(std::string_view text) {
  std::u32string result;
  while (!text.empty()) {
    char32_t c;
    size_t used = DecodeUtf8(text, c);
    if (used == 0) {
      c = Windows1252ToUnicode(static_cast<uint8_t>(text[0]));
      used = 1;
    }
    result.push_back(c);
    text.remove_prefix(used);
  }
  return result;
}

std::vector<uint8_t> EncodeRdsText(std::string_view text) {
  std::vector<uint8_t> result;
  for (char32_t c : DecodeText(text)) result.push_back(UnicodeToRds(c));
  return result;
}

}  // namespace halvane::driver::rds
