#include "band/ini_values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "frequency.h"

namespace halvane::driver::band {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string_view NextLine(std::string_view& text) {
  const size_t end = std::min(text.find_first_of("\r\n"), text.size());
  const std::string_view line = text.substr(0, end);
  size_t next = end;
  if (next < text.size()) next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
  text.remove_prefix(next);
  return line;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Unquote(std::string_view value) {
  value = Trim(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

std::optional<int64_t> ReadInteger(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<uint16_t> ReadHex16(std::string_view text) {
  text = Trim(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.remove_prefix(2);
  if (text.empty() || text.size() > 4) return std::nullopt;
  uint16_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> ReadBoolean(std::string_view text) {
  text = Trim(text);
  for (std::string_view yes : {"yes", "true", "on", "1"}) {
    if (EqualsIgnoringCase(text, yes)) return true;
  }
  for (std::string_view no : {"no", "false", "off", "0"}) {
    if (EqualsIgnoringCase(text, no)) return false;
  }
  return std::nullopt;
}

std::optional<int32_t> ReadFrequency(std::string_view text) {
  text = Trim(text);
  size_t numberEnd = 0;
  while (numberEnd < text.size() &&
         (std::isdigit(static_cast<unsigned char>(text[numberEnd])) || text[numberEnd] == '.')) {
    ++numberEnd;
  }
  const std::string_view number = text.substr(0, numberEnd);
  const std::string_view unit = Trim(text.substr(numberEnd));
  int decimalsPerUnit;  // hertz per unit = 10^decimalsPerUnit
  if (EqualsIgnoringCase(unit, "MHz")) {
    decimalsPerUnit = 6;
  } else if (EqualsIgnoringCase(unit, "kHz")) {
    decimalsPerUnit = 3;
  } else {
    return std::nullopt;
  }

  // Fixed point in hertz, so 95.8 MHz is exactly 95 800 000 Hz.
  int64_t hertz = 0;
  int digits = 0;
  int fractionDigits = -1;  // -1: no decimal point seen
  for (char c : number) {
    if (c == '.') {
      if (fractionDigits >= 0) return std::nullopt;
      fractionDigits = 0;
      continue;
    }
    if (fractionDigits >= 0 && ++fractionDigits > decimalsPerUnit) return std::nullopt;
    if (++digits > 12) return std::nullopt;
    hertz = hertz * 10 + (c - '0');
  }
  if (digits == 0) return std::nullopt;
  for (int i = std::max(fractionDigits, 0); i < decimalsPerUnit; ++i) hertz *= 10;

  // The plug-in's value: FM in hertz, AM (below the FM band) in kilohertz times 10000.
  if (hertz < kFmRaster.low) {
    if (hertz % 1000 != 0) return std::nullopt;
    hertz = hertz / 1000 * 10'000;
  }
  if (hertz > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(hertz);
}

}  // namespace halvane::driver::band
