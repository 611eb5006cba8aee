#include "v4l2/frequency_units.h"

#include <gtest/gtest.h>
#include <linux/videodev2.h>

namespace halvane::driver::v4l2 {
namespace {

TEST(FrequencyUnits, CapabilityChoosesTheUnit) {
  EXPECT_EQ(UnitOf(0), TunerUnit::SixteenthMhz);
  EXPECT_EQ(UnitOf(V4L2_TUNER_CAP_LOW | V4L2_TUNER_CAP_STEREO), TunerUnit::SixteenthKhz);
  EXPECT_EQ(UnitOf(V4L2_TUNER_CAP_1HZ | V4L2_TUNER_CAP_LOW), TunerUnit::Hertz);
}

TEST(FrequencyUnits, LowUnitsHoldEveryChannelExactly) {
  EXPECT_EQ(HertzToUnits(95'800'000, TunerUnit::SixteenthKhz), 1'532'800u);
  EXPECT_EQ(HertzToUnits(1'040'000, TunerUnit::SixteenthKhz), 16'640u);
  // Every 10 kHz step of FM and every kHz of AM goes there and back unchanged.
  for (int64_t hz = 87'500'000; hz <= 108'000'000; hz += 10'000) {
    ASSERT_EQ(UnitsToHertz(*HertzToUnits(hz, TunerUnit::SixteenthKhz), TunerUnit::SixteenthKhz),
              hz);
  }
  for (int64_t hz = 530'000; hz <= 1'710'000; hz += 1'000) {
    ASSERT_EQ(UnitsToHertz(*HertzToUnits(hz, TunerUnit::SixteenthKhz), TunerUnit::SixteenthKhz),
              hz);
  }
}

TEST(FrequencyUnits, CoarseUnitsRoundToTheNearest) {
  EXPECT_EQ(HertzToUnits(95'800'000, TunerUnit::SixteenthMhz), 1533u);  // 1532.8
  EXPECT_EQ(UnitsToHertz(1533, TunerUnit::SixteenthMhz), 95'812'500);
  EXPECT_EQ(HertzToUnits(87'500'000, TunerUnit::SixteenthMhz), 1400u);
  EXPECT_EQ(HertzToUnits(95'831'249, TunerUnit::SixteenthMhz), 1533u);
  EXPECT_EQ(HertzToUnits(95'843'750, TunerUnit::SixteenthMhz), 1534u);  // the half rounds up
  EXPECT_EQ(HertzToUnits(-1, TunerUnit::SixteenthMhz), std::nullopt);
  EXPECT_EQ(HertzToUnits(int64_t{1} << 40, TunerUnit::Hertz), std::nullopt);
}

}  // namespace
}  // namespace halvane::driver::v4l2
