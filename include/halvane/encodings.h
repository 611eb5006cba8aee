// The two encodings the contracts speak: text crosses the automation boundary as UTF-8, and the
// tuner driver hands RDS texts over as Windows-1252 bytes, one character per byte. The plug-in,
// the host and the driver each compile these in; none of it is exported by a library.
#ifndef HALVANE_ENCODINGS_H
#define HALVANE_ENCODINGS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace halvane {

// The characters of Windows-1252 bytes 0x80 to 0x9F. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D name
// no character and hold the control character of their own value, as the system conversion
// gives them. Every other byte is its own code point.
inline constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t Windows1252ToUnicode(uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char32_t{byte};
}

// False for the five bytes that name no character.
constexpr bool IsWindows1252Character(uint8_t byte) {
  return Windows1252ToUnicode(byte) != byte || byte < 0x80 || byte >= 0xA0;
}

// The UTF-8 sequence that starts at text[at]: its length, with its character in `out`. 0 when
// none starts there: a stray continuation byte, a truncated or overlong sequence, a surrogate,
// a value past U+10FFFF. `at` must be inside `text`.
constexpr size_t DecodeUtf8(std::string_view text, size_t at, char32_t& out) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[at + i]); };
  const uint8_t lead = byte(0);
  size_t length = 0;
  char32_t c = 0;
  if (lead < 0x80) {
    out = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i) & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
  out = c;
  return length;
}

// Appends the UTF-8 sequence of `c`. A surrogate or a value past U+10FFFF, which no UTF-8 text
// may hold, goes in as U+FFFD, the replacement character.
inline void AppendUtf8(std::string& out, char32_t c) {
  if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const size_t length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  constexpr uint8_t kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[length] | (c >> (6 * (length - 1))));
  for (size_t i = length - 1; i-- > 0;) out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

}  // namespace halvane

#endif
