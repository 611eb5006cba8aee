// Every reading of a number from text, every conversion of a real to an integer type and every
// checked integer operation lives here. Nobody parses or rounds numbers anywhere else.
#ifndef HALVANE_RUNTIME_NUMBERS_H
#define HALVANE_RUNTIME_NUMBERS_H

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "halvane/errors.h"
#include "runtime/locale.h"

namespace halvane {

// The text's leading number, "." as the decimal point whatever the locale. Blanks, tabs and line
// feeds are skipped wherever they stand; an optional sign, digits and at most one "." are read;
// reading stops at the first character that cannot continue the number. No number gives 0.
// Never fails (a huge digit string gives an infinite value, which no integer conversion accepts).
// A text of one to nine digits and nothing else, the way frequencies are stored, is read in
// line; any other text by the general reading.
double LeadingNumberOfAnyText(std::string_view text);
inline double LeadingNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return LeadingNumberOfAnyText(text);
  uint32_t value = 0;
  for (char c : text) {
    const auto digit = static_cast<uint32_t>(static_cast<unsigned char>(c) - '0');
    if (digit > 9) return LeadingNumberOfAnyText(text);
    value = value * 10 + digit;
  }
  return value;
}

// The whole text read as a number with the locale's separators: surrounding blanks, a sign,
// grouping separators between digits, one decimal separator, an exponent, or an "&H"/"&O"
// prefixed whole number. Anything else is error 13; a value beyond the double range is error 6.
double LocaleNumber(std::string_view text, const NumberFormat& format);
// The same reading, answering nothing instead of raising 13.
std::optional<double> TryLocaleNumber(std::string_view text, const NumberFormat& format);

// Nearest integer, ties to even; outside the type's range (or not finite) is error 6.
int16_t ToInt16(double value);
int32_t ToInt32(double value);
// Single precision; beyond its range is error 6.
float ToSingle(double value);

// Integer arithmetic in the operands' own type (16 or 32 bits) that raises error 6 instead of
// wrapping.
template <std::signed_integral T>
T CheckedAdd(T a, T b) {
  T r;
  if (__builtin_add_overflow(a, b, &r)) Raise(kOverflow);
  return r;
}
template <std::signed_integral T>
T CheckedSub(T a, T b) {
  T r;
  if (__builtin_sub_overflow(a, b, &r)) Raise(kOverflow);
  return r;
}
template <std::signed_integral T>
T CheckedMul(T a, T b) {
  T r;
  if (__builtin_mul_overflow(a, b, &r)) Raise(kOverflow);
  return r;
}

// The "0.0" pattern: the value taken to 15 significant digits, then rounded half away from zero
// to one decimal, with the locale's decimal separator.
std::string FormatOneDecimal(double value, const NumberFormat& format);

// A real as text the way a number becomes a string: up to 15 significant digits, the locale's
// decimal separator, no grouping.
std::string FormatNumber(double value, const NumberFormat& format);

}  // namespace halvane

#endif
