#include "runtime/codepage.h"

#include <cstdint>

namespace halvane {
namespace {

// Code points of bytes 0x80 to 0x9F; the rest of Windows-1252 is Latin-1.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

void AppendCp1252Char(std::string& out, unsigned char byte) {
  if (byte < 0x80)
    out.push_back(static_cast<char>(byte));
  else if (byte < 0xA0)
    AppendUtf8(out, kHigh[byte - 0x80]);
  else
    AppendUtf8(out, byte);
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  // Runs of ASCII, the usual content, are copied as they are.
  size_t i = 0;
  const size_t n = bytes.size();
  while (i < n) {
    size_t ascii = i;
    while (ascii < n && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
    out.append(bytes.data() + i, ascii - i);
    if (ascii == n) break;
    AppendCp1252Char(out, static_cast<unsigned char>(bytes[ascii]));
    i = ascii + 1;
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      auto cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
      return false;
    i += len;
  }
  return true;
}

std::string DecodeFileText(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80)
      return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
  return std::string(bytes);
}

}  // namespace halvane
