#include "halvane/variant.h"

#include <gtest/gtest.h>

#include <functional>

#include "error_of.h"
#include "halvane/errors.h"
#include "runtime/locale.h"

namespace {

using namespace halvane;

using testing_support::ErrorOf;

TEST(VariantToBool, TextReadsAsBooleanNameOrNumber) {
  EXPECT_TRUE(Variant("True").ToBool());
  EXPECT_TRUE(Variant("true").ToBool());
  EXPECT_FALSE(Variant("false").ToBool());
  EXPECT_FALSE(Variant(" FALSE ").ToBool());
  EXPECT_TRUE(Variant("1").ToBool());
  EXPECT_TRUE(Variant("-1").ToBool());
  EXPECT_FALSE(Variant("0").ToBool());
  EXPECT_EQ(ErrorOf([] { Variant("").ToBool(); }), kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { Variant("abc").ToBool(); }), kTypeMismatch);
  EXPECT_FALSE(Variant().ToBool());
  EXPECT_TRUE(Variant(int32_t{2}).ToBool());
  EXPECT_FALSE(Variant(0.0).ToBool());
}

TEST(VariantToInteger, RoundsTiesToEvenAndOverflowsAtTheEdges) {
  EXPECT_EQ(Variant(2.5).ToInt16(), 2);
  EXPECT_EQ(Variant("3.5").ToInt16(), 4);
  EXPECT_EQ(Variant(true).ToInt16(), -1);
  EXPECT_EQ(Variant().ToInt32(), 0);
  EXPECT_EQ(ErrorOf([] { Variant(int32_t{32768}).ToInt16(); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { Variant("2147483648").ToInt32(); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { Variant("12a").ToInt32(); }), kTypeMismatch);
  NumberFormat comma{",", "."};
  EXPECT_EQ(Variant("2,5").ToDouble(&comma), 2.5);
}

TEST(VariantToString, BooleansAndNumbersAsText) {
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_EQ(Variant(false).ToString(), "False");
  EXPECT_EQ(Variant(int16_t{-3}).ToString(), "-3");
  EXPECT_EQ(Variant(2.5).ToString(), "2.5");
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_EQ(ErrorOf([] { Variant(std::shared_ptr<Dispatch>()).ToString(); }), kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { Variant("x").ToObject(); }), kTypeMismatch);
  EXPECT_EQ(Variant().ToObject(), nullptr);
}

}  // namespace
