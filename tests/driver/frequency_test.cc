#include "frequency.h"

#include <gtest/gtest.h>

#include <climits>

namespace halvane::driver::band {
namespace {

TEST(Frequency, TellsItsBandByItsSizeAndAmValuesAreTenTimesTheirHertz) {
  EXPECT_FALSE(Frequency(95'800'000).IsAm());
  EXPECT_EQ(Frequency(95'800'000).Hertz(), 95'800'000);
  EXPECT_EQ(&Frequency(87'500'000).raster(), &kFmRaster);
  EXPECT_TRUE(Frequency(87'499'999).IsAm());
  EXPECT_EQ(Frequency(10'400'000).Hertz(), 1'040'000);  // 1040 kHz
  EXPECT_EQ(&Frequency(10'400'000).raster(), &kAmRaster);
}

TEST(Frequency, SnapsToTheNearestChannelOfItsBand) {
  EXPECT_EQ(SnapToRaster(95'800'000), 95'800'000);
  EXPECT_EQ(SnapToRaster(95'849'999), 95'800'000);
  EXPECT_EQ(SnapToRaster(95'850'000), 95'900'000);
  EXPECT_EQ(SnapToRaster(120'000'000), 108'000'000);
  EXPECT_EQ(SnapToRaster(INT32_MAX), 108'000'000);
  // Below 87.5 MHz the value is AM: kHz x 10000, 10 kHz channels from 530 to 1710 kHz.
  EXPECT_EQ(SnapToRaster(87'499'999), 17'100'000);
  EXPECT_EQ(SnapToRaster(10'440'000), 10'400'000);
  EXPECT_EQ(SnapToRaster(10'450'000), 10'500'000);
  EXPECT_EQ(SnapToRaster(0), 5'300'000);
  EXPECT_EQ(SnapToRaster(INT32_MIN), 5'300'000);
}

TEST(Frequency, NextChannelExcludesTheStartAndStopsAtTheEdges) {
  EXPECT_EQ(NextChannel(95'800'000, true), 95'900'000);
  EXPECT_EQ(NextChannel(95'800'000, false), 95'700'000);
  EXPECT_EQ(NextChannel(95'850'000, true), 95'900'000);
  EXPECT_EQ(NextChannel(95'850'000, false), 95'800'000);
  EXPECT_EQ(NextChannel(107'900'000, true), 108'000'000);
  EXPECT_EQ(NextChannel(108'000'000, true), std::nullopt);
  EXPECT_EQ(NextChannel(87'500'000, false), std::nullopt);
  EXPECT_EQ(NextChannel(120'000'000, false), 108'000'000);
  EXPECT_EQ(NextChannel(120'000'000, true), std::nullopt);
  EXPECT_EQ(NextChannel(5'300'000, false), std::nullopt);
  EXPECT_EQ(NextChannel(17'100'000, true), std::nullopt);
  EXPECT_EQ(NextChannel(0, true), 5'300'000);
  EXPECT_EQ(NextChannel(INT32_MIN, false), std::nullopt);
  EXPECT_EQ(NextChannel(50'000'000, false), 17'100'000);
}

}  // namespace
}  // namespace halvane::driver::band
