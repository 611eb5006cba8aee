#include "plugin/typed_frequency.h"

#include "runtime/numbers.h"

namespace halvane {
namespace {
constexpr double kBelowAnyAmKhz = 530;
constexpr double kUnitsPerMegahertz = 100;  // the tuner's FM unit is 10 kHz
}  // namespace

int32_t KeyboardFrequency(std::string_view firstReading, std::string_view text,
                          const NumberFormat& format) {
  const double x = LeadingNumber(firstReading);
  // The scaling is done in single precision: the product of two singles is exact in double, so
  // rounding it once to single gives the single-precision product.
  const float megahertz = ToSingle(LocaleNumber(text, format));
  const float scaled = ToSingle(static_cast<double>(megahertz) * kUnitsPerMegahertz);
  const double unscaled = LeadingNumber(text);
  return ToInt32(x < kBelowAnyAmKhz ? static_cast<double>(scaled) : unscaled);
}

std::string_view DecimalSeparator(const NumberFormat& format) {
  return FormatNumber(0.5, format).find(',') != std::string::npos ? "," : ".";
}

int32_t ArgumentFrequency(std::string_view argument, const NumberFormat& format) {
  const double value = LocaleNumber(argument, format);
  const bool megahertz = argument.find(DecimalSeparator(format)) != std::string_view::npos;
  return ToInt32(megahertz ? value * kUnitsPerMegahertz : value);
}

}  // namespace halvane
