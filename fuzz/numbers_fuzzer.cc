// The number readings and conversions against the properties each must hold: the leading-number
// reading never fails and reads only the text's leading part; a locale reading that succeeds
// gives a finite number, and one that fails says 13 (or 6 beyond the double range); a conversion
// to an integer is the nearest one or error 6; checked arithmetic is exact or error 6; a number
// formatted in a locale reads back in it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "halvane/errors.h"
#include "runtime/locale.h"
#include "runtime/numbers.h"

namespace {

using halvane::NumberFormat;
using halvane::RuntimeError;

[[noreturn]] void Fail(const std::string& what, std::string_view text) {
  std::fprintf(stderr, "broken property: %s, text \"%.*s\"\n", what.c_str(),
               static_cast<int>(text.size()), text.data());
  std::abort();
}

// The separators of the locales users have: a point, a comma, blanks and apostrophes, and the
// no-break spaces some locales group with.
const NumberFormat kFormats[] = {
    {".", ","}, {",", "."}, {",", " "}, {".", "'"}, {",", "\xC2\xA0"}, {",", "\xE2\x80\xAF"},
};

template <class F>
std::optional<int> ErrorOf(F&& f) {
  try {
    f();
    return std::nullopt;
  } catch (const RuntimeError& e) {
    return e.number();
  }
}

void CheckLeadingNumber(std::string_view text) {
  double value = 0;
  if (ErrorOf([&] { value = halvane::LeadingNumber(text); }))
    Fail("the leading-number reading failed", text);
  if (std::isnan(value)) Fail("the leading-number reading gave NaN", text);
  // Only the leading part counts: what follows a character that can't continue it is not read.
  const std::string extended = std::string(text) + "x9";
  const double again = halvane::LeadingNumber(extended);
  if (again != value && !(std::isnan(again) && std::isnan(value)))
    Fail("text after the number changed the leading number", text);
}

void CheckIntegerConversions(double value, std::string_view text) {
  int16_t i16 = 0;
  if (auto e = ErrorOf([&] { i16 = halvane::ToInt16(value); })) {
    if (*e != halvane::kOverflow) Fail("ToInt16 raised other than 6", text);
    if (std::isfinite(value) && std::fabs(value) < 32767)
      Fail("ToInt16 refused a small value", text);
  } else if (!(std::fabs(i16 - value) <= 0.5)) {
    Fail("ToInt16 is not the nearest integer", text);
  }
  int32_t i32 = 0;
  if (auto e = ErrorOf([&] { i32 = halvane::ToInt32(value); })) {
    if (*e != halvane::kOverflow) Fail("ToInt32 raised other than 6", text);
    if (std::isfinite(value) && std::fabs(value) < 2147483647.0)
      Fail("ToInt32 refused a value in range", text);
  } else if (!(std::fabs(i32 - value) <= 0.5)) {
    Fail("ToInt32 is not the nearest integer", text);
  } else if (std::fabs(i32 - value) == 0.5 && i32 % 2 != 0) {
    Fail("ToInt32 did not take a tie to even", text);
  }
}

void CheckLocaleNumber(std::string_view text, const NumberFormat& format) {
  std::optional<double> tried;
  if (auto e = ErrorOf([&] { tried = halvane::TryLocaleNumber(text, format); }))
    Fail("TryLocaleNumber raised " + std::to_string(*e), text);
  double value = 0;
  const auto e = ErrorOf([&] { value = halvane::LocaleNumber(text, format); });
  if (!e) {
    if (!std::isfinite(value)) Fail("a locale reading that succeeded is not finite", text);
    if (!tried || *tried != value) Fail("LocaleNumber and TryLocaleNumber disagree", text);
    CheckIntegerConversions(value, text);
  } else if (*e == halvane::kTypeMismatch) {
    if (tried) Fail("LocaleNumber said 13 where TryLocaleNumber read a number", text);
  } else if (*e == halvane::kOverflow) {
    if (!tried || std::isfinite(*tried)) Fail("error 6 for a value in the double range", text);
  } else {
    Fail("LocaleNumber raised " + std::to_string(*e), text);
  }
}

// A value formatted with the locale's separator reads back in that locale.
void CheckFormatting(double value, const NumberFormat& format, std::string_view text) {
  if (!std::isfinite(value) || std::fabs(value) > 1e15) return;
  const std::string one = halvane::FormatOneDecimal(value, format);
  const double back = halvane::LocaleNumber(one, format);
  if (std::fabs(back - value) > 0.05 + std::fabs(value) * 1e-14)
    Fail("\"" + one + "\" does not read back as the value it shows", text);
  const std::string plain = halvane::FormatNumber(value, format);
  const double plainBack = halvane::LocaleNumber(plain, format);
  if (std::fabs(plainBack - value) > std::fabs(value) * 1e-14)
    Fail("\"" + plain + "\" does not read back as its value", text);
}

template <class T, class Op>
void CheckArithmetic(T a, T b, Op op, int64_t exact, std::string_view text) {
  T r{};
  const bool fits =
      exact >= std::numeric_limits<T>::min() && exact <= std::numeric_limits<T>::max();
  if (auto e = ErrorOf([&] { r = op(a, b); })) {
    if (*e != halvane::kOverflow || fits)
      Fail("checked arithmetic refused a result that fits", text);
  } else if (!fits || r != exact) {
    Fail("checked arithmetic gave a wrong or wrapped result", text);
  }
}

}  // namespace

// Input: one byte choosing the locale, then the text. The first bytes also feed the checked
// arithmetic as integers.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const NumberFormat& format = kFormats[data[0] % std::size(kFormats)];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  CheckLeadingNumber(text);
  CheckIntegerConversions(halvane::LeadingNumber(text), text);
  CheckLocaleNumber(text, format);
  if (auto value = halvane::TryLocaleNumber(text, format)) CheckFormatting(*value, format, text);
  CheckFormatting(halvane::LeadingNumber(text), format, text);

  if (size >= 9) {
    int32_t a, b;
    std::memcpy(&a, data + 1, 4);
    std::memcpy(&b, data + 5, 4);
    const int64_t la = a, lb = b;
    CheckArithmetic<int32_t>(a, b, halvane::CheckedAdd<int32_t>, la + lb, text);
    CheckArithmetic<int32_t>(a, b, halvane::CheckedSub<int32_t>, la - lb, text);
    CheckArithmetic<int32_t>(a, b, halvane::CheckedMul<int32_t>, la * lb, text);
    const auto a16 = static_cast<int16_t>(a), b16 = static_cast<int16_t>(b);
    CheckArithmetic<int16_t>(a16, b16, halvane::CheckedAdd<int16_t>, int64_t{a16} + b16, text);
    CheckArithmetic<int16_t>(a16, b16, halvane::CheckedSub<int16_t>, int64_t{a16} - b16, text);
  }
  return 0;
}
