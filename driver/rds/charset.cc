#include "rds/charset.h"

#include <array>

#include "halvane/encodings.h"
#include "rds/charset_tables.h"

namespace halvane::driver::rds {
namespace {

// Windows-1252 byte of a Unicode character, or 0 when it has none (0 itself is never wanted).
uint8_t UnicodeToWindows1252(char32_t c) {
  if (c == 0) return 0;
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
  for (size_t i = 0; i < kWindows1252High.size(); ++i) {
    const auto byte = static_cast<uint8_t>(0x80 + i);
    if (kWindows1252High[i] == c && IsWindows1252Character(byte)) return byte;
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

// A byte that names no character reads as a blank.
char32_t CharacterOfByte(uint8_t byte) {
  return IsWindows1252Character(byte) ? Windows1252ToUnicode(byte) : U' ';
}

// A character as shown: control codes become blanks.
void AppendShown(std::string& out, char32_t c) {
  AppendUtf8(out, c < 0x20 || c == 0x7F ? U' ' : c);
}

}  // namespace

std::string RdsToUtf8(std::span<const uint8_t> bytes) {
  std::string text;
  for (uint8_t byte : bytes) AppendShown(text, kRdsBasicCharset[byte]);
  return text;
}

std::string CleanUtf8(std::span<const uint8_t> bytes) {
  std::string text;
  const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (char32_t c : DecodeText(raw)) AppendShown(text, c);
  return text;
}

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
    size_t used = DecodeUtf8(text, 0, c);
    if (used == 0) {
      c = CharacterOfByte(static_cast<uint8_t>(text[0]));
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
