// The decoders of the groups beyond PS and RadioText, fed hex group sequences as a station sends
// them (four blocks, "----" for a block lost, a trailing "*" for a block the receiver corrected),
// each checked against its decoded value as the driver reports it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "rds/af_codes.h"
#include "rds/clock_time.h"
#include "rds/country.h"
#include "rds/extended_report.h"
#include "rds/rds_monitor.h"

namespace halvane::driver::rds {
namespace {

ReceivedGroup Parse(const std::string& hex) {
  ReceivedGroup group;
  size_t at = 0;
  for (size_t i = 0; i < kBlocksPerGroup; ++i) {
    const size_t end = std::min(hex.find(' ', at), hex.size());
    const std::string word = hex.substr(at, end - at);
    at = end + 1;
    if (word == "----") continue;
    group.blocks[i] = static_cast<uint16_t>(std::stoul(word.substr(0, 4), nullptr, 16));
    group.usable[i] = true;
    group.corrected[i] = word.size() > 4 && word[4] == '*';
  }
  return group;
}

// 2A groups of PI 5C11 sending `text` (then a carriage return), once.
std::vector<std::string> RadioTextGroups(std::string text) {
  text += '\r';
  text.resize((text.size() + 3) / 4 * 4, ' ');
  std::vector<std::string> groups;
  for (size_t segment = 0; segment * 4 < text.size(); ++segment) {
    char hex[32];
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[segment * 4 + k]); };
    std::snprintf(hex, sizeof hex, "5C11 %04X %02X%02X %02X%02X",
                  static_cast<unsigned>(0x2000 | segment), byte(0), byte(1), byte(2), byte(3));
    groups.emplace_back(hex);
  }
  return groups;
}

// The report of the groups fed in order to a fresh monitor, tuned to `tunedHz`; a RadioText
// given is sent (intact) before them.
std::string Report(const std::vector<std::string>& groups, const std::string& radioText = "",
                   int32_t tunedHz = 0) {
  RdsMonitor monitor;
  std::vector<std::string> all;
  if (!radioText.empty()) all = RadioTextGroups(radioText);
  all.insert(all.end(), groups.begin(), groups.end());
  for (const std::string& hex : all) {
    const ReceivedGroup group = Parse(hex);
    monitor.OnGroup(group, 0, group.UnusableCount());
  }
  return MonitorReport(monitor, tunedHz);
}

bool Has(const std::string& report, const std::string& line) {
  return report.find(line + "\n") != std::string::npos;
}

TEST(AfCodes, FrequenciesOfCodes) {
  struct Case {
    uint8_t code;
    bool lfMf;
    int32_t hz;  // 0: no frequency
  } cases[] = {{1, false, 87'600'000}, {204, false, 107'900'000}, {0, false, 0},
               {205, false, 0},        {210, false, 0},           {1, true, 1'530'000},
               {15, true, 2'790'000},  {16, true, 5'310'000},     {135, true, 16'020'000},
               {136, true, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(AfFrequency(c.code, c.lfMf).value_or(0), c.hz) << int{c.code} << c.lfMf;
  }
}

TEST(AfCodes, ListsConfirmedTwiceAlike) {
  struct Case {
    const char* what;
    std::vector<std::string> groups;
    int32_t tunedHz;
    const char* expected;  // the af lines of the report, "" when none
  } cases[] = {
      {"method A, twice",
       {"5C11 0400 E501 ----", "5C11 0401 0B15 ----", "5C11 0402 1F29 ----", "5C11 0403 E501 ----",
        "5C11 0400 0B15 ----", "5C11 0401 1F29 ----"},
       0,
       "af.method=A\naf=87.6 88.6 89.6 90.6 91.6\n"},
      {"method A, once intact",
       {"5C11 0400 E501 ----", "5C11 0401 0B15 ----", "5C11 0402 1F29 ----"},
       0,
       "af.method=A\naf=87.6 88.6 89.6 90.6 91.6\n"},
      {"method A, once from corrected blocks",
       {"5C11 0400 E501 ----", "5C11 0401 0B15* ----", "5C11 0402* 1F29 ----"},
       0,
       ""},
      {"a lost pair breaks the round",
       {"5C11 0400 E501 ----", "5C11 0401 ---- ----", "5C11 0402 1F29 ----", "5C11 0403 E501* ----",
        "5C11 0400 0B15* ----", "5C11 0401 1F29* ----"},
       0,
       ""},
      {"a code out of range",
       {"5C11 0400 E30B ----", "5C11 0401 D215 ----", "5C11 0402 E30B ----", "5C11 0403 D215 ----"},
       0,
       ""},
      {"LF/MF",
       {"5C11 0400 E201 ----", "5C11 0401 FA10 ----", "5C11 0402 E201 ----", "5C11 0403 FA10 ----"},
       0,
       "af.method=A\naf=87.6 531k\n"},
      {"method B, own list with a regional variant",
       {"5C11 0400 E512 ----", "5C11 0401 1220 ----", "5C11 0402 3C12 ----", "5C11 0403 E53C ----",
        "5C11 0400 3C40 ----", "5C11 0401 3C50 ----", "5C11 0402 E512 ----", "5C11 0403 1220 ----",
        "5C11 0400 3C12 ----", "5C11 0401 E53C ----", "5C11 0402 3C40 ----", "5C11 0403 3C50 ----"},
       89'300'000,
       "af.method=B\naf=90.7\naf.regional=93.5\n"},
  };
  for (const Case& c : cases) {
    const std::string report = Report(c.groups, "", c.tunedHz);
    std::string af;
    for (size_t at = 0; (at = report.find("\naf", at)) != std::string::npos; ++at) {
      af += report.substr(at + 1, report.find('\n', at + 1) - at);
    }
    EXPECT_EQ(af, c.expected) << c.what;
  }
}

TEST(ExtendedRds, GroupsDecodedToTheirValues) {
  struct Case {
    const char* what;
    std::vector<std::string> groups;
    const char* radioText;
    std::vector<std::string> lines;   // present in the report
    std::vector<std::string> absent;  // keys that must not be reported
  } cases[] = {
      {"1A country, language, item number",
       {"D3C2 1000 00E0 3A0F", "D3C2 1000 00E0 3A0F", "D3C2 1000 3008 ----", "D3C2 1000 3008 ----"},
       "",
       {"ecc=E0", "country=DE", "language=German", "pin=07 08:15"},
       {}},
      {"1A once intact",
       {"D3C2 1000 00E0 3A0F", "D3C2 0000 E0CD 2020"},
       "",
       {"ecc=E0", "pin=07 08:15"},
       {}},
      {"1A once from corrected blocks: nothing",
       {"D3C2 1000 00E0* 3A0F*", "D3C2 0000 E0CD 2020"},
       "",
       {},
       {"ecc=", "pin="}},
      {"1A item number at hour 25",
       {"D3C2 1000 00E0 3E40", "D3C2 1000 00E0 3E40"},
       "",
       {},
       {"pin="}},
      {"RadioText+ on 11A",
       {"5C11 3016 0000 4BD7", "5C11 3016 0000 4BD7", "5C11 B008 8014 09CB", "5C11 B008 8014 09CB"},
       "Nina Simone - Feeling Good",
       {"oda.4BD7=11A", "rtplus.running=1", "rtplus.artist=Nina Simone",
        "rtplus.title=Feeling Good"},
       {}},
      {"RadioText+ tags covering blanks: trimmed",
       {"5C11 3016 0000 4BD7", "5C11 3016 0000 4BD7", "5C11 B008 8016 09AC", "5C11 B008 8016 09AC"},
       "Nina Simone - Feeling Good",
       {"rtplus.artist=Nina Simone", "rtplus.title=Feeling Good"},
       {}},
      {"RadioText+ tag reaching past the text",
       {"5C11 3016 0000 4BD7", "5C11 3016 0000 4BD7", "5C11 B008 3E12 0000", "5C11 B008 3E12 0000"},
       "Nina Simone - Feeling Good",
       {"rtplus.running=1"},
       {"rtplus.title="}},
      {"RadioText+ tag cut short by the end of the text",
       {"5C11 3016 0000 4BD7", "5C11 3016 0000 4BD7", "5C11 B008 2726 0000", "5C11 B008 2726 0000"},
       "Nina Simone - Feeling Good",
       {"rtplus.running=1"},
       {"rtplus.title="}},
      {"RadioText+ before the RadioText",
       {"5C11 3016 0000 4BD7", "5C11 3016 0000 4BD7", "5C11 B008 8014 09CB", "5C11 B008 8014 09CB"},
       "",
       {"rtplus.running=1"},
       {"rtplus.artist=", "rtplus.title="}},
      {"RadioText+ item stopped",
       {"5C11 3016 0000 4BD7", "5C11 3016 0000 4BD7", "5C11 B000 8014 09CB", "5C11 B000 8014 09CB"},
       "Nina Simone - Feeling Good",
       {"rtplus.running=0"},
       {"rtplus.artist="}},
      {"11A without the registry: no RadioText+",
       {"5C11 B008 8014 09CB", "5C11 B008 8014 09CB"},
       "Nina Simone - Feeling Good",
       {},
       {"rtplus."}},
      {"4A clock, local offset",
       {"5C11 4001 DF8B 3C82", "5C11 4001 DF8B 3CC2"},
       "",
       {"clock=2026-12-07 20:51 +01:00"},
       {}},
      {"4A across local midnight",
       {"5C11 4001 DF8B 7B42", "5C11 4001 DF8B 7B82"},
       "",
       {"clock=2026-12-08 00:46 +01:00"},
       {}},
      {"4A hour 25", {"5C11 4001 DF8B 9000", "5C11 4001 DF8B 9000"}, "", {}, {"clock="}},
      {"4A a single group intact",
       {"5C11 4001 DF8B 3C82", "5C11 0000 E0CD 2020"},
       "",
       {"clock=2026-12-07 20:50 +01:00"},
       {}},
      {"4A a single group corrected",
       {"5C11 4001 DF8B* 3C82", "5C11 0000 E0CD 2020"},
       "",
       {},
       {"clock="}},
      {"4A a date in 2100", {"5C11 4002 B00A 3C82", "5C11 4002 B00A 3CC2"}, "", {}, {"clock="}},
      {"10A name",
       {"5C11 A000 464F 4F54", "5C11 A001 4241 4C4C", "5C11 A000 464F 4F54", "5C11 A001 4241 4C4C"},
       "",
       {"ptyn=FOOTBALL"},
       {}},
      {"10A flag flipped in one group keeps the name",
       {"5C11 A000 464F 4F54", "5C11 A001 4241 4C4C", "5C11 A010 4A41 5A5A"},
       "",
       {"ptyn=FOOTBALL"},
       {}},
      {"10A flag flipped in two groups: the old name until the new one is whole",
       {"5C11 A000 464F 4F54", "5C11 A001 4241 4C4C", "5C11 A010 4A41 5A5A", "5C11 A010 4A41 5A5A"},
       "",
       {"ptyn=FOOTBALL"},
       {}},
      {"10A new name whole",
       {"5C11 A000 464F 4F54", "5C11 A001 4241 4C4C", "5C11 A010 4A41 5A5A", "5C11 A010 4A41 5A5A",
        "5C11 A011 4D55 5349"},
       "",
       {"ptyn=JAZZMUSI"},
       {}},
      {"15A long name in UTF-8",
       {"5C11 F000 5261 6469", "5C11 F001 6F20 5AC3", "5C11 F002 BC72 6963", "5C11 F003 680D 0000",
        "5C11 F000 5261 6469", "5C11 F001 6F20 5AC3", "5C11 F002 BC72 6963", "5C11 F003 680D 0000"},
       "",
       {"longps=Radio Zürich"},
       {}},
      {"14A/14B other network",
       {"5C11 E010 5241 D3C3", "5C11 E011 4449 D3C3", "5C11 E012 4F20 D3C3", "5C11 E013 3220 D3C3",
        "5C11 E010 5241 D3C3", "5C11 E011 4449 D3C3", "5C11 E012 4F20 D3C3", "5C11 E013 3220 D3C3",
        "5C11 E01D 5000 D3C3", "5C11 E01D 5000 D3C3", "5C11 E818 5C11 D3C3", "5C11 E818 5C11 D3C3"},
       "",
       {"eon.D3C3.ps=RADIO 2 ", "eon.D3C3.pty=10", "eon.D3C3.tp=1", "eon.D3C3.ta=1",
        "eon.traffic=1"},
       {}},
      {"14A name once from corrected blocks, and an unknown PI corrected",
       {"5C11 E010 5241* D3C3", "5C11 E011 4449* D3C3", "5C11 E012 4F20* D3C3",
        "5C11 E013 3220* D3C3", "5C11 E010 5241 D3C4*", "5C11 E010 5241 D3C4*"},
       "",
       {},
       {"eon.D3C3.ps=", "eon.D3C4"}},
      {"group statistics",
       {"5C11 0400 E0CD 4349", "5C11 2400 ---- 4344", "5C11 0401 E0CD 5459"},
       "",
       {"groups=0A:2 2A:1", "blocks=12 1"},
       {}},
  };
  for (const Case& c : cases) {
    const std::string report = Report(c.groups, c.radioText);
    for (const std::string& line : c.lines)
      EXPECT_TRUE(Has(report, line)) << c.what << "\n" << report;
    for (const std::string& key : c.absent) {
      EXPECT_EQ(report.find("\n" + key), std::string::npos) << c.what << "\n" << report;
    }
  }
}

TEST(ExtendedRds, CallLettersAndCountries) {
  struct Case {
    uint16_t pi;
    const char* letters;
  } cases[] = {{0x1000, "KAAA"}, {0x54A7, "KZZZ"}, {0x54A8, "WAAA"}, {0x994F, "WZZZ"},
               {0x0FFF, ""},     {0x9950, ""},     {0xA1B2, "KAGW"}};
  for (const Case& c : cases) EXPECT_EQ(CallLetters(c.pi), c.letters) << std::hex << c.pi;
  EXPECT_EQ(CountryCode(0xD3C2, 0xE0), "DE");
  EXPECT_EQ(CountryCode(0xC201, 0xE1), "GB");
  EXPECT_EQ(CountryCode(0xF201, 0xE1), "FR");
  EXPECT_EQ(CountryCode(0x0201, 0xE1), "");
  EXPECT_EQ(CountryCode(0xD3C2, 0x12), "");
}

}  // namespace
}  // namespace halvane::driver::rds
