#include "band/default_band.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "band/band_file.h"
#include "frequency.h"

namespace halvane::driver::band {
namespace {

TEST(DefaultBand, ParsesAndCoversWhatTheSimulationShows) {
  const ParseResult<Band> parsed = ParseBandFile(DefaultBandText());
  ASSERT_TRUE(parsed.ok()) << parsed.line << ": " << parsed.error;
  const Band& band = *parsed.value;
  const auto count = [&](auto predicate) {
    return std::count_if(band.stations.begin(), band.stations.end(), predicate);
  };
  EXPECT_GE(count([](const Station& s) { return s.frequency >= kFmRaster.low; }), 10);
  EXPECT_NE(band.Find(87'500'000), nullptr);
  EXPECT_NE(band.Find(107'900'000), nullptr);
  EXPECT_NE(band.Find(6'000'000), nullptr);   // 600 kHz
  EXPECT_NE(band.Find(10'400'000), nullptr);  // 1040 kHz
  EXPECT_GE(count([](const Station& s) { return s.level >= 10 && s.HasRds(); }), 1);
  EXPECT_GE(count([](const Station& s) { return s.frequency >= kFmRaster.low && !s.HasRds(); }), 1);
  EXPECT_GE(count([](const Station& s) {
              return s.programme && s.programme->ta == TrafficAnnouncement::Toggle;
            }),
            1);
  EXPECT_GE(count([](const Station& s) { return s.programme && s.programme->versionB; }), 1);
  for (const Station& station : band.stations) {
    if (!station.programme) continue;
    EXPECT_EQ(std::count(station.programme->ps.begin(), station.programme->ps.end(), 0), 0);
    EXPECT_FALSE(station.programme->radiotexts.empty()) << station.label;
  }
  EXPECT_EQ(band.initializeError, 0);
}

}  // namespace
}  // namespace halvane::driver::band
