#include "band/band_file.h"

#include <gtest/gtest.h>

#include "band/ini_values.h"

namespace halvane::driver::band {
namespace {

TEST(BandFile, ReadsStationsAndTheirRds) {
  const ParseResult<Band> parsed = ParseBandFile(
      "# comment\r\n"
      "; another\r\n"
      "[tuner]\r\n"
      "initialize_error = 0\r\n"
      "\r\n"
      "[station City FM]\r\n"
      "frequency = 95.8 MHz\r\n"
      "level = 3\r\n"
      "pi = 0x5c11\r\n"
      "pty = 1\r\n"
      "tp = yes\r\n"
      "ta = toggle\r\n"
      "ta_period = 20\r\n"
      "ms = speech\r\n"
      "ps = \" CITY \"\r\n"
      "rt = First\r\n"
      "rt =   Second  \r\n"
      "[station]\n"
      "frequency = 1040 kHz\n"
      "[station replay]\n"
      "frequency = 100000 kHz\n"
      "stereo = no\n"
      "capture = recorded.txt\n");
  ASSERT_TRUE(parsed.ok()) << parsed.line << ": " << parsed.error;
  const Band& band = *parsed.value;
  ASSERT_EQ(band.stations.size(), 3u);

  const Station& city = band.stations[0];
  EXPECT_EQ(city.label, "City FM");
  EXPECT_EQ(city.frequency, 95'800'000);
  EXPECT_EQ(city.level, 3);
  EXPECT_TRUE(city.stereo);  // FM stations default to stereo
  ASSERT_TRUE(city.programme);
  const RdsProgramme& rds = *city.programme;
  EXPECT_EQ(rds.pi, 0x5C11);
  EXPECT_EQ(rds.pty, 1);
  EXPECT_TRUE(rds.tp);
  EXPECT_EQ(rds.ta, TrafficAnnouncement::Toggle);
  EXPECT_EQ(rds.taPeriodS, 20);
  EXPECT_FALSE(rds.music);
  EXPECT_EQ(std::string(rds.ps.begin(), rds.ps.end()), " CITY   ");
  ASSERT_EQ(rds.radiotexts.size(), 2u);
  EXPECT_EQ(std::string(rds.radiotexts[1].begin(), rds.radiotexts[1].end()), "Second");

  const Station& am = band.stations[1];
  EXPECT_EQ(am.frequency, 10'400'000);  // AM: kHz x 10000
  EXPECT_FALSE(am.stereo);
  EXPECT_FALSE(am.HasRds());

  EXPECT_EQ(band.stations[2].frequency, 100'000'000);
  EXPECT_EQ(band.stations[2].capturePath, "recorded.txt");
  EXPECT_FALSE(band.stations[2].stereo);
  EXPECT_EQ(band.Find(95'800'000), &city);
  EXPECT_EQ(band.Find(95'900'000), nullptr);
}

// A programme type named by its kind goes out with the code the listener's region gives it; a
// number is sent as it stands in either region.
TEST(BandFile, ProgrammeTypeKindsAreSentWithTheRegionsCodes) {
  const struct {
    const char* pty;
    uint8_t europe, northAmerica;
  } cases[] = {
      {"jazz", 24, 14}, {"Talk", 21, 4},     {"top_40", 10, 9}, {"serious_classics", 14, 15},
      {"sport", 4, 3},  {"language", 0, 18}, {"14", 14, 14}};
  for (const auto& c : cases) {
    for (PtyRegion region : {PtyRegion::kEurope, PtyRegion::kNorthAmerica}) {
      const ParseResult<Band> parsed = ParseBandFile(
          std::string("[station]\nfrequency = 95.8 MHz\npi = 1\npty = ") + c.pty + "\n", region);
      ASSERT_TRUE(parsed.ok()) << c.pty << ": " << parsed.error;
      EXPECT_EQ(parsed.value->stations[0].programme->pty,
                region == PtyRegion::kEurope ? c.europe : c.northAmerica)
          << c.pty;
    }
  }
  EXPECT_EQ(ProgrammeTypeCode("polka", PtyRegion::kEurope), std::nullopt);
}

TEST(BandFile, TunerSectionCanMakeInitializeFail) {
  const ParseResult<Band> parsed = ParseBandFile("[tuner]\ninitialize_error = -7\n");
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed.value->initializeError, -7);
  EXPECT_TRUE(parsed.value->stations.empty());
}

struct BadBand {
  const char* text;
  int line;
  const char* errorPart;
};

class BandFileErrors : public testing::TestWithParam<BadBand> {};

TEST_P(BandFileErrors, NameTheLineAndTheFault) {
  const ParseResult<Band> parsed = ParseBandFile(GetParam().text);
  ASSERT_FALSE(parsed.ok());
  EXPECT_EQ(parsed.line, GetParam().line);
  EXPECT_NE(parsed.error.find(GetParam().errorPart), std::string::npos) << parsed.error;
}

std::string CaseName(const testing::TestParamInfo<BadBand>& info) {
  return "Line" + std::to_string(info.param.line) + "Case" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BandFileErrors,
    testing::Values(
        BadBand{"frequency = 95.8 MHz\n", 1, "outside"},
        BadBand{"[stations]\n", 1, "unknown section"}, BadBand{"[station\n", 1, "without \"]\""},
        BadBand{"[station]\nfrequency 95.8\n", 2, "key = value"},
        BadBand{"[station]\nfrequency = 95.8\n", 2, "95.8 MHz"},
        BadBand{"[station]\nfrequency = 95.85 MHz\n", 2, "not a channel"},
        BadBand{"[station]\nfrequency = 108.1 MHz\n", 2, "not a channel"},
        BadBand{"[station]\nfrequency = 1045 kHz\n", 2, "not a channel"},
        BadBand{"[station]\nfrequency = 95.8 MHz\nlevel = 15\n", 3, "level"},
        BadBand{"[station]\nfrequency = 95.8 MHz\ncolour = red\n", 3, "unknown key"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 12345\n", 3, "pi"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\npty = 32\n", 4, "pty"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\npty = polka\n", 4, "classic_rock"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\nps = NINE CHAR\n", 4, "8 characters"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\nta = maybe\n", 4, "toggle"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\nrt = \"\"\n", 4, "needs a text"},
        // A drive's keys: AF codes reach 87.6 to 107.9 MHz; RadioText+ tags by name; routes
        // in time order.
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\naf = 87.5 MHz\n", 4, "87.6"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\naf = 99.1 MHz, 108.0 MHz\n", 4, "87.6"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\nrt = {colour:red}\n", 4, "tags"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\nrt = {title:open\n", 4, "tags"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\n"
                "rt = {title:A} {artist:ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456}\n",
                4, "second tag is longer"},
        BadBand{"[station]\nfrequency = 95.8 MHz\nroute = 0:1, 60:16\n", 3, "route"},
        BadBand{"[station]\nfrequency = 95.8 MHz\nroute = 10:1, 10:2\n", 3, "route"},
        // Other networks are stations of the band, told of by their pi.
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\neon = 6A22\nps = X\n", 4, "no station"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\neon = 6A22, 98.1 MHz\n", 4, "eon lists"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\neon =\n", 4, "eon lists"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\neon = 0001\n", 4, "own pi"},
        // Faults found when a station is complete point at the station's header (or field).
        BadBand{"[station one]\nlevel = 1\n[station two]\n", 1, "without a frequency"},
        BadBand{"[station]\nfrequency = 95.8 MHz\n[station]\nfrequency = 95.8 MHz\n", 3,
                "two stations"},
        BadBand{"[station]\nfrequency = 95.8 MHz\nps = NAME\n", 3, "need a pi"},
        BadBand{"[station]\nfrequency = 600 kHz\npi = 1234\n", 1, "FM only"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1234\ncapture = x.txt\n", 1, "not both"},
        BadBand{"[station]\nfrequency = 95.8 MHz\npi = 1\ngroups = B\n"
                "rt = 0123456789012345678901234567890123\n",
                1, "32 characters"}),
    CaseName);

TEST(IniValues, FrequenciesAreExact) {
  EXPECT_EQ(ReadFrequency("87.5 MHz"), 87'500'000);
  EXPECT_EQ(ReadFrequency("107.9mhz"), 107'900'000);
  EXPECT_EQ(ReadFrequency("95800 kHz"), 95'800'000);
  EXPECT_EQ(ReadFrequency("0.6 MHz"), 6'000'000);  // AM, kHz x 10000
  EXPECT_EQ(ReadFrequency("1040kHz"), 10'400'000);
  EXPECT_EQ(ReadFrequency("95.8"), std::nullopt);
  EXPECT_EQ(ReadFrequency("1040.5 kHz"), std::nullopt);  // not a whole kHz on AM
  EXPECT_EQ(ReadFrequency("95.8000001 MHz"), std::nullopt);
  EXPECT_EQ(ReadFrequency("9.5.8 MHz"), std::nullopt);
  EXPECT_EQ(ReadFrequency("99999999999 MHz"), std::nullopt);
  EXPECT_EQ(ReadFrequency("-95.8 MHz"), std::nullopt);
  EXPECT_EQ(ReadHex16("0xFFFF"), 0xFFFF);
  EXPECT_EQ(ReadHex16("10000"), std::nullopt);
  EXPECT_EQ(Unquote("  \" a \"  "), " a ");
}

}  // namespace
}  // namespace halvane::driver::band
