// The readings of a typed frequency: the on-screen keyboard's and "rtune"'s, in both locales.
#include "plugin/typed_frequency.h"

#include <gtest/gtest.h>

#include <functional>

#include "error_of.h"
#include "halvane/errors.h"

namespace {

using namespace halvane;

const NumberFormat kPoint{".", ","};
const NumberFormat kComma{",", "."};

using testing_support::ErrorOf;

TEST(KeyboardFrequency, FromTheAmBandUpTheLeadingNumberIsTakenAsItStands) {
  EXPECT_EQ(KeyboardFrequency("529", "529", kPoint), 52900);
  EXPECT_EQ(KeyboardFrequency("530", "530", kPoint), 530);
  EXPECT_EQ(KeyboardFrequency("1040", "1,040", kPoint), 1);  // "," stops the leading number
}

TEST(KeyboardFrequency, TheFirstReadingAloneChoosesTheScale) {
  EXPECT_EQ(KeyboardFrequency("1040", "101.5", kPoint), 102);  // 101.5 unscaled, ties to even
  EXPECT_EQ(KeyboardFrequency("", "10.4", kPoint), 1040);
}

TEST(KeyboardFrequency, ScalingIsDoneInSinglePrecision) {
  // 87.5050001 MHz is 8750.50001 units in double precision, which rounds to 8751; in single
  // precision the product is exactly 8750.5, which rounds to even.
  EXPECT_EQ(KeyboardFrequency("87.5050001", "87.5050001", kPoint), 8750);
  EXPECT_EQ(KeyboardFrequency("87.5149991", "87.5149991", kPoint), 8752);
}

TEST(KeyboardFrequency, TextThatIsNoLocaleNumberFailsWhicheverScaleIsChosen) {
  EXPECT_EQ(ErrorOf([] { KeyboardFrequency("1040 kHz", "1040 kHz", kPoint); }), kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { KeyboardFrequency("", "", kPoint); }), kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { KeyboardFrequency("3", "3e9", kPoint); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { KeyboardFrequency("1", "1e40", kPoint); }), kOverflow);  // no single
}

TEST(DecimalSeparator, IsWhatFormattingOneHalfShows) {
  EXPECT_EQ(DecimalSeparator(kPoint), ".");
  EXPECT_EQ(DecimalSeparator(kComma), ",");
  EXPECT_EQ(DecimalSeparator(NumberFormat{"٫", " "}), ".");  // neither: the full stop
}

TEST(ArgumentFrequency, ADecimalSeparatorMeansMegahertz) {
  EXPECT_EQ(ArgumentFrequency("101.5", kPoint), 10150);
  EXPECT_EQ(ArgumentFrequency("10150", kPoint), 10150);
  EXPECT_EQ(ArgumentFrequency(" 98.7 ", kPoint), 9870);
  EXPECT_EQ(ArgumentFrequency("101,5", kComma), 10150);
  EXPECT_EQ(ArgumentFrequency("1040", kComma), 1040);
  EXPECT_EQ(ArgumentFrequency("1,040", kPoint), 1040);  // a grouping separator, not megahertz
  EXPECT_EQ(ArgumentFrequency("0", kPoint), 0);
}

TEST(ArgumentFrequency, FailsOnTextThatIsNoNumberAndOnValuesBeyond32Bits) {
  EXPECT_EQ(ErrorOf([] { ArgumentFrequency("fm", kPoint); }), kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { ArgumentFrequency("101.5MHz", kPoint); }), kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { ArgumentFrequency("21474837", kPoint); }), 0);
  EXPECT_EQ(ErrorOf([] { ArgumentFrequency("21474836.48", kPoint); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { ArgumentFrequency("2147483648", kPoint); }), kOverflow);
}

}  // namespace
