// Case-insensitive comparison of names and keywords, by ASCII letters only: the process's locale
// (which a host may set to anything) never changes what matches.
#ifndef HALVANE_RUNTIME_ASCII_H
#define HALVANE_RUNTIME_ASCII_H

#include <string>
#include <string_view>

namespace halvane {

constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

inline std::string AsciiLowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

}  // namespace halvane

#endif
