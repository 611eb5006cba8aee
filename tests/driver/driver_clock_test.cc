#include "driver_clock.h"

#include <gtest/gtest.h>

namespace halvane::driver {
namespace {

TEST(DriverClock, FollowsTheMonotonicSourceUntilSwitchedToManual) {
  int64_t monotonic = 1000;
  DriverClock clock([&] { return monotonic; });
  EXPECT_EQ(clock.NowMs(), 1000);
  monotonic = 1500;
  EXPECT_EQ(clock.NowMs(), 1500);

  clock.UseManual(true);
  monotonic = 9000;
  EXPECT_EQ(clock.NowMs(), 1500);
  clock.Advance(250);
  clock.Advance(-100);  // ignored: the clock never runs backwards
  EXPECT_EQ(clock.NowMs(), 1750);

  // Back on the monotonic source, time goes on from where the manual clock stood.
  clock.UseManual(false);
  EXPECT_EQ(clock.NowMs(), 1750);
  monotonic = 9100;
  EXPECT_EQ(clock.NowMs(), 1850);
  clock.Advance(50);
  EXPECT_EQ(clock.NowMs(), 1900);
}

}  // namespace
}  // namespace halvane::driver
