#include "runtime/numbers.h"

#include <locale.h>
#include <stdlib.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "halvane/errors.h"

namespace halvane {
namespace {

// The C library's conversions follow the process's LC_NUMERIC, which a host may set to its user's
// locale (GTK and Qt hosts do). The texts built here always use ".", so they are converted under
// the "C" locale, without touching the process's own.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}

double ReadPlainNumber(const std::string& text) {
  return strtod_l(text.c_str(), nullptr, CLocale());
}

// Formats with "." as the decimal point for the length of the scope (this thread only).
class PlainNumberScope {
 public:
  PlainNumberScope() : previous_(uselocale(CLocale())) {}
  ~PlainNumberScope() { uselocale(previous_); }
  PlainNumberScope(const PlainNumberScope&) = delete;
  PlainNumberScope& operator=(const PlainNumberScope&) = delete;

 private:
  locale_t previous_;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "&H1F" or "&O17": up to four digits read as a 16-bit pattern, more as a 32-bit one.
std::optional<double> ReadRadixLiteral(std::string_view t) {
  if (t.size() < 3 || t[0] != '&') return std::nullopt;
  int radix = 0;
  if (t[1] == 'h' || t[1] == 'H') radix = 16;
  if (t[1] == 'o' || t[1] == 'O') radix = 8;
  if (radix == 0) return std::nullopt;
  uint64_t value = 0;
  size_t digits = 0;
  for (char c : t.substr(2)) {
    int d = HexValue(c);
    if (d < 0 || d >= radix) return std::nullopt;
    value = value * radix + d;
    if (value > 0xFFFFFFFFull) return std::nullopt;
    ++digits;
  }
  bool sixteen = radix == 16 ? digits <= 4 : value <= 0xFFFF;
  if (sixteen) return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
  return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

}  // namespace

namespace {

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr uint64_t kExactIntegerLimit = uint64_t{1} << 53;

// The leading number read without building a text, for the usual short numbers: while the digits
// form an integer below 2^53 and at most 22 of them follow the point, the integer and the power
// of ten are exact and one division rounds exactly as a full decimal conversion would. Nothing
// when the number needs the full conversion.
std::optional<double> QuickLeadingNumber(std::string_view text) {
  uint64_t digits = 0;
  size_t decimals = 0;
  bool seenSign = false, negative = false, seenPoint = false, seenDigit = false;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n') continue;
    if ((c == '-' || c == '+') && !seenSign && !seenDigit && !seenPoint) {
      seenSign = true;
      negative = c == '-';
    } else if (IsDigit(c)) {
      seenDigit = true;
      digits = digits * 10 + static_cast<uint64_t>(c - '0');
      if (digits >= kExactIntegerLimit) return std::nullopt;
      if (seenPoint && ++decimals >= std::size(kExactPowersOfTen)) return std::nullopt;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!seenDigit) return 0.0;
  double magnitude = static_cast<double>(digits);
  if (decimals > 0) magnitude /= kExactPowersOfTen[decimals];
  return negative ? -magnitude : magnitude;
}

}  // namespace

double LeadingNumberOfAnyText(std::string_view text) {
  if (auto quick = QuickLeadingNumber(text)) return *quick;
  std::string number;
  number.reserve(text.size());
  bool seenSign = false, seenPoint = false, seenDigit = false;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n') continue;
    if ((c == '-' || c == '+') && !seenSign && !seenDigit && !seenPoint) {
      seenSign = true;
      number.push_back(c);
    } else if (IsDigit(c)) {
      seenDigit = true;
      number.push_back(c);
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
      number.push_back(c);
    } else {
      break;
    }
  }
  if (!seenDigit) return 0.0;
  return ReadPlainNumber(number);
}

std::optional<double> TryLocaleNumber(std::string_view text, const NumberFormat& format) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  if (text[0] == '&') return ReadRadixLiteral(text);

  std::string number;  // normalised for strtod: sign, digits, ".", exponent
  size_t i = 0;
  if (text[i] == '+' || text[i] == '-') number.push_back(text[i++]);
  bool digits = false, point = false;
  auto at = [&](std::string_view mark) {
    return !mark.empty() && text.substr(i, mark.size()) == mark;
  };
  while (i < text.size()) {
    char c = text[i];
    if (IsDigit(c)) {
      number.push_back(c);
      digits = true;
      ++i;
    } else if (!point && at(format.decimal)) {
      number.push_back('.');
      point = true;
      i += format.decimal.size();
    } else if (!point && digits && at(format.grouping) &&
               i + format.grouping.size() < text.size() &&
               IsDigit(text[i + format.grouping.size()])) {
      i += format.grouping.size();  // grouping marks stand between digits and are dropped
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    number.push_back('e');
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.push_back(text[i++]);
    bool expDigits = false;
    while (i < text.size() && IsDigit(text[i])) {
      number.push_back(text[i++]);
      expDigits = true;
    }
    if (!expDigits) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  return ReadPlainNumber(number);
}

double LocaleNumber(std::string_view text, const NumberFormat& format) {
  auto value = TryLocaleNumber(text, format);
  if (!value) Raise(kTypeMismatch, "not a number: \"" + std::string(text) + "\"");
  if (!std::isfinite(*value)) Raise(kOverflow);
  return *value;
}

int16_t ToInt16(double value) {
  double r = std::nearbyint(value);  // the default rounding mode rounds ties to even
  if (!(r >= -32768.0 && r <= 32767.0)) Raise(kOverflow);
  return static_cast<int16_t>(r);
}

int32_t ToInt32(double value) {
  double r = std::nearbyint(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) Raise(kOverflow);
  return static_cast<int32_t>(r);
}

float ToSingle(double value) {
  if (std::isnan(value)) Raise(kOverflow);
  if (std::isfinite(value) && std::fabs(value) > FLT_MAX) Raise(kOverflow);
  return static_cast<float>(value);
}

std::string FormatOneDecimal(double value, const NumberFormat& format) {
  if (!std::isfinite(value)) Raise(kOverflow);
  // A value that is the double nearest a number of at most two decimals and 13 digits (a
  // frequency in 10 kHz units divided by 100, say) has that number as its 15-digit form, so the
  // rounding can be done on the whole number of hundredths.
  const double hundredths = std::round(value * 100);
  if (std::fabs(hundredths) < 1e13 && hundredths / 100 == value) {
    const auto tenths = (static_cast<int64_t>(std::fabs(hundredths)) + 5) / 10;  // half away
    std::string out = value < 0 && tenths != 0 ? "-" : "";
    out += std::to_string(tenths / 10);
    out += format.decimal;
    out += static_cast<char>('0' + tenths % 10);
    return out;
  }
  // 15 significant digits first, so binary noise such as 103.900000000000006 does not round.
  char buf[40];
  {
    PlainNumberScope plain;
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  }
  std::string digits;
  const char* p = buf;
  for (; *p != 'e'; ++p)
    if (IsDigit(*p)) digits.push_back(*p);
  int exponent = std::atoi(p + 1);
  int point = exponent + 1;  // digits before the decimal point
  if (value == 0.0) point = 1;
  if (point < 1) {
    digits.insert(0, static_cast<size_t>(1 - point), '0');
    point = 1;
  }
  while (static_cast<int>(digits.size()) < point + 2) digits.push_back('0');
  std::string kept = digits.substr(0, point + 1);
  if (digits[point + 1] >= '5') {  // half away from zero: the magnitude rounds up
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i >= 0)
      ++kept[i];
    else {
      kept.insert(kept.begin(), '1');
      ++point;
    }
  }
  std::string whole = kept.substr(0, point);
  size_t nz = whole.find_first_not_of('0');
  whole = nz == std::string::npos ? "0" : whole.substr(nz);
  bool zero = whole == "0" && kept.back() == '0';
  std::string out = (value < 0 && !zero) ? "-" : "";
  out += whole;
  out += format.decimal;
  out += kept.back();
  return out;
}

std::string FormatNumber(double value, const NumberFormat& format) {
  char buf[40];
  {
    PlainNumberScope plain;
    std::snprintf(buf, sizeof buf, "%.15G", value);
  }
  std::string s = buf;
  if (auto dot = s.find('.'); dot != std::string::npos) s.replace(dot, 1, format.decimal);
  return s;
}

}  // namespace halvane
