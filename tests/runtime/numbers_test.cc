#include "runtime/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "error_of.h"
#include "halvane/errors.h"

namespace {

using namespace halvane;

const NumberFormat kDot{".", ","};
const NumberFormat kComma{",", "."};

using testing_support::ErrorOf;

TEST(Numbers, ShortDigitTextsReadInLineAsTheGeneralReadingDoes) {
  for (const char* text : {"0", "7", "0877", "8750", "000000001", "123456789", "999999999",
                           "1234567890", "12a", "12.5", " 12", "1 2", "-12"}) {
    EXPECT_EQ(LeadingNumber(text), LeadingNumberOfAnyText(text)) << text;
  }
  EXPECT_EQ(LeadingNumber("999999999"), 999999999);
}

TEST(LeadingNumber, ReadsSignDigitsAndOnePointSkippingBlanksAnywhere) {
  EXPECT_EQ(LeadingNumber("8750"), 8750);
  EXPECT_EQ(LeadingNumber("  87.5"), 87.5);
  EXPECT_EQ(LeadingNumber("1 0 4 0"), 1040);  // blanks inside the number are skipped
  EXPECT_EQ(LeadingNumber("\t\n-12"), -12);
  EXPECT_EQ(LeadingNumber("+7"), 7);
  EXPECT_EQ(LeadingNumber("- 5"), -5);
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);  // a second "." ends the number
  EXPECT_EQ(LeadingNumber("1040 kHz"), 1040);
  EXPECT_EQ(LeadingNumber("8750|0|0"), 8750);
  EXPECT_EQ(LeadingNumber("0999"), 999);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
}

TEST(LeadingNumber, TextWithoutANumberGivesZeroAndNeverFails) {
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("--5"), 0);
  EXPECT_EQ(LeadingNumber("5-3"), 5);
  EXPECT_EQ(LeadingNumber("101,5"), 101);  // the comma is never a decimal point here
  EXPECT_TRUE(std::isinf(LeadingNumber(std::string(400, '9'))));
}

// Short numbers are read without a full decimal conversion; the reading must agree with one
// bit for bit, and hand longer numbers over to it.
TEST(LeadingNumber, AgreesWithAFullDecimalConversion) {
  std::mt19937_64 rng(20261207);
  for (int n = 0; n < 20000; ++n) {
    std::string text = rng() % 4 == 0 ? "-" : "";
    const int digits = 1 + static_cast<int>(rng() % 26);
    const int point = static_cast<int>(rng() % (digits + 2)) - 1;  // -1 or digits: no point
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>('0' + rng() % 10);
    }
    const double expected = std::strtod(text.c_str(), nullptr);
    const double read = LeadingNumber(text);
    EXPECT_EQ(read, expected) << text;
    EXPECT_EQ(std::signbit(read), std::signbit(expected)) << text;
  }
  EXPECT_EQ(LeadingNumber("9007199254740991"), 9007199254740991.0);  // 2^53 - 1, exact
  EXPECT_EQ(LeadingNumber("9007199254740993"), 9007199254740992.0);  // rounds to even
  EXPECT_EQ(LeadingNumber("0.0000000000000000000001"), 1e-22);
  EXPECT_EQ(LeadingNumber("0.00000000000000000000001"), 1e-23);
  EXPECT_TRUE(std::signbit(LeadingNumber("-0")));
}

TEST(LocaleNumber, ReadsTheWholeTextWithTheLocaleSeparators) {
  EXPECT_EQ(LocaleNumber("101.5", kDot), 101.5);
  EXPECT_EQ(LocaleNumber(" 101.5 ", kDot), 101.5);
  EXPECT_EQ(LocaleNumber("-3", kDot), -3);
  EXPECT_EQ(LocaleNumber("1,040", kDot), 1040);  // grouping between digits
  EXPECT_EQ(LocaleNumber("1e3", kDot), 1000);
  EXPECT_EQ(LocaleNumber("&H1F", kDot), 31);
  EXPECT_EQ(LocaleNumber("&HFFFF", kDot), -1);  // four hex digits are a 16-bit pattern
  EXPECT_EQ(LocaleNumber("&O17", kDot), 15);
  EXPECT_EQ(LocaleNumber("101,5", kComma), 101.5);
  EXPECT_EQ(LocaleNumber("98.7", kComma), 987);  // "." groups digits in a comma locale
}

TEST(LocaleNumber, TextThatIsNotANumberIsTypeMismatch) {
  for (const char* bad :
       {"", " ", "1040 kHz", "1.2.3", "abc", ",5,", "1,", "+", "1e", "&H", "&HG", "1 2"}) {
    EXPECT_EQ(ErrorOf([&] { LocaleNumber(bad, kDot); }), kTypeMismatch) << bad;
    EXPECT_FALSE(TryLocaleNumber(bad, kDot).has_value()) << bad;
  }
  EXPECT_EQ(ErrorOf([] { LocaleNumber("1e999", kDot); }), kOverflow);
}

TEST(IntegerConversion, TiesGoToEvenAndTheEdgesOverflow) {
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(3.5), 4);
  EXPECT_EQ(ToInt16(-2.5), -2);
  EXPECT_EQ(ToInt32(8750.5), 8750);
  EXPECT_EQ(ToInt32(8751.5), 8752);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(-32768.5), -32768);  // ties to even keeps it inside
  EXPECT_EQ(ErrorOf([] { ToInt16(32767.5); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { ToInt16(-32769); }), kOverflow);
  EXPECT_EQ(ToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(ErrorOf([] { ToInt32(2147483647.5); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { ToInt32(-2147483649.0); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { ToInt32(NAN); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { ToInt32(INFINITY); }), kOverflow);
}

TEST(CheckedArithmetic, OverflowIsErrorSixNeverAWrap) {
  EXPECT_EQ(CheckedMul<int32_t>(214748, 10000), 2147480000);
  EXPECT_EQ(ErrorOf([] { CheckedMul<int32_t>(214749, 10000); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { CheckedMul<int32_t>(-214749, 10000); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { CheckedAdd<int32_t>(INT32_MAX, 1); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { CheckedSub<int32_t>(INT32_MIN, 1); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { CheckedAdd<int16_t>(32767, 1); }), kOverflow);
  EXPECT_EQ(CheckedSub<int16_t>(-32767, 1), -32768);
}

TEST(FormatOneDecimal, RoundsHalfAwayFromZeroAfterFifteenDigits) {
  EXPECT_EQ(FormatOneDecimal(87.5, kDot), "87.5");
  EXPECT_EQ(FormatOneDecimal(10390 / 100.0, kDot), "103.9");
  EXPECT_EQ(FormatOneDecimal(10390 / 100.0, kComma), "103,9");
  EXPECT_EQ(FormatOneDecimal(107.9, kDot), "107.9");
  EXPECT_EQ(FormatOneDecimal(87.55, kDot), "87.6");  // 87.55 is 87.549999.. in binary
  EXPECT_EQ(FormatOneDecimal(0.05, kDot), "0.1");
  EXPECT_EQ(FormatOneDecimal(99.95, kDot), "100.0");
  EXPECT_EQ(FormatOneDecimal(0, kDot), "0.0");
  EXPECT_EQ(FormatOneDecimal(-87.55, kDot), "-87.6");
  EXPECT_EQ(FormatOneDecimal(-0.04, kDot), "0.0");
  EXPECT_EQ(FormatOneDecimal(8750.0 / 100, kDot), "87.5");
}

// Values on a hundredth (frequencies in 10 kHz units divided by 100) take a short way; the
// neighbouring double, one unit in the last place away, has the same fifteen digits but takes
// the general way, so both ways must give the same text.
TEST(FormatOneDecimal, HundredthsAgreeWithTheirNeighboursTheGeneralWay) {
  std::mt19937_64 rng(1079);
  for (int n = -20000; n <= 25000; ++n) {
    // Every hundredth up to 200, then values spread up to the short way's limit of 10^13.
    const int64_t w = n <= 20000 ? n : static_cast<int64_t>(rng() % 10000000000000) - 5000000000000;
    const double value = static_cast<double>(w) / 100;
    ASSERT_EQ(FormatOneDecimal(value, kComma),
              FormatOneDecimal(std::nextafter(value, 1e300), kComma))
        << w;
    ASSERT_EQ(FormatOneDecimal(value, kDot), FormatOneDecimal(std::nextafter(value, -1e300), kDot))
        << w;
  }
  EXPECT_EQ(FormatOneDecimal(87.125, kDot), "87.1");  // not on a hundredth: the general way
  EXPECT_EQ(FormatOneDecimal(1e12 + 0.05, kDot), "1000000000000.1");
  EXPECT_EQ(FormatOneDecimal(-0.0, kDot), "0.0");
}

TEST(FormatNumber, UsesTheLocaleDecimalSeparator) {
  EXPECT_EQ(FormatNumber(0.5, kDot), "0.5");
  EXPECT_EQ(FormatNumber(0.5, kComma), "0,5");
  EXPECT_EQ(FormatNumber(1040, kComma), "1040");
}

}  // namespace
