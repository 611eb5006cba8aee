#include "runtime/codepage.h"

#include <cstdint>

#include "halvane/encodings.h"

namespace halvane {
void AppendCp1252Char(std::string& out, unsigned char byte) {
  if (byte < 0x80)
    out.push_back(static_cast<char>(byte));
  else
    AppendUtf8(out, Windows1252ToUnicode(byte));
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
  char32_t c = 0;
  for (size_t i = 0, length = 0; i < text.size(); i += length)
    if ((length = DecodeUtf8(text, i, c)) == 0) return false;
  return true;
}

std::string DecodeFileText(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80)
      return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
  return std::string(bytes);
}

}  // namespace halvane
