#include "tuner/call_driver.h"

#include <gtest/gtest.h>

#include <vector>

#include "error_of.h"
#include "halvane/errors.h"

using halvane::CallDriver;
using halvane::DriverArg;

namespace {

const std::string kLib = CALL_TARGET;

int32_t Call(const char* fn, std::vector<DriverArg> args) { return CallDriver(kLib, fn, args); }

using testing_support::ErrorOf;

TEST(CallDriver, PassesArgumentsInListOrder) {
  EXPECT_EQ(Call("NoArgs", {}), 42);
  EXPECT_EQ(Call("Ordered", {DriverArg::Number(0), DriverArg::Number(87500000)}), 87500000);
  EXPECT_EQ(Call("Ordered", {DriverArg::Number(1), DriverArg::Number(2)}), 1002);
  std::vector<DriverArg> many;
  int32_t expected = 0;
  for (int i = 0; i < 63; ++i) {
    many.push_back(DriverArg::Number(i % 7));
    expected += (i + 1) * (i % 7);
  }
  EXPECT_EQ(Call("Sum63", many), expected);
}

TEST(CallDriver, WidensNumbersWithTiesToEvenAndRejectsOverflowBeforeCalling) {
  EXPECT_EQ(Call("Identity", {DriverArg::Number(2.5)}), 2);
  EXPECT_EQ(Call("Identity", {DriverArg::Number(3.5)}), 4);
  EXPECT_EQ(Call("Identity", {DriverArg::Number(-2.5)}), -2);
  int32_t before = Call("CallCount", {});
  EXPECT_EQ(ErrorOf([] { Call("Identity", {DriverArg::Number(2147483648.0)}); }), 6);
  EXPECT_EQ(Call("CallCount", {}), before);
}

TEST(CallDriver, NumericTextGoesAsNumberOtherTextAsAddress) {
  EXPECT_EQ(Call("Identity", {DriverArg::Text("5")}), 5);
  EXPECT_EQ(Call("TextLength", {DriverArg::Text("Radio_IO")}), 8);
  EXPECT_EQ(Call("TextLength", {DriverArg::Text("")}), 0);
}

TEST(CallDriver, AddressesAreWrittenByTheCalleeAndByRefIsReadAtCallTime) {
  int32_t out = 0;
  EXPECT_EQ(Call("WriteBack", {DriverArg::Number(0), DriverArg::Address(&out)}), 0);
  EXPECT_EQ(out, 95800000);
  int32_t value = 7;
  std::vector<DriverArg> args{DriverArg::ByRef(&value)};
  value = 9;
  EXPECT_EQ(CallDriver(kLib, "Identity", args), 9);
}

TEST(CallDriver, MissingLibraryOrFunctionGivesMinusOne) {
  EXPECT_EQ(CallDriver("/nonexistent/Radio_IO.so", "radioInitialize", {}), -1);
  EXPECT_EQ(Call("NoSuchFunction", {}), -1);
  EXPECT_EQ(CallDriver("", "NoArgs", {}), -1);
}

TEST(CallDriver, SixtyFourthArgumentIsOverflowAndNothingIsCalled) {
  int32_t before = Call("CallCount", {});
  std::vector<DriverArg> args(64, DriverArg::Number(1));
  EXPECT_EQ(ErrorOf([&] { CallDriver(kLib, "Sum63", args); }), 6);
  EXPECT_EQ(Call("CallCount", {}), before);
}

TEST(CallDriver, RepeatedCallsNeverUnloadTheLibrary) {
  int32_t before = Call("CallCount", {});
  for (int i = 0; i < 100; ++i) Call("NoArgs", {});
  EXPECT_EQ(Call("CallCount", {}), before + 100);
}

}  // namespace
