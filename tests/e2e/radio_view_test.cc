#include "radio_view.h"

#include <gtest/gtest.h>

namespace host {
namespace {

std::string All(const std::vector<ScreenLine>& lines) {
  std::string s;
  for (const auto& l : lines) s += l.text + "\n";
  return s;
}

TEST(FitText, BlanksControlCharactersAndKeepsWidthInCharacters) {
  EXPECT_EQ(FitText(std::string("JAZZ\0\0\0\0", 8), 10), "JAZZ      ");
  EXPECT_EQ(FitText("CAFFÈ 99", 6), "CAFFÈ ");
  EXPECT_EQ(FitText("abc", 0), "");
}

TEST(PiHex, ShowsTheSignedPiTextAsFourHexDigits) {
  EXPECT_EQ(PiHex("4660"), "1234");
  EXPECT_EQ(PiHex("-11326"), "D3C2");
  EXPECT_EQ(PiHex(""), "");
  EXPECT_EQ(PiHex("12x"), "");
}

TEST(RenderRadioScreen, ShowsStationRdsModesListAndError) {
  ScreenState s;
  s.view.active = true;
  s.view.band = "FM";
  s.view.frequency = "104.5";
  s.view.unit = "MHz";
  s.view.signal = 61166;
  s.view.signalText = "93%";
  s.view.stereo = true;
  s.view.rdsName = "JAZZ 104";
  s.view.rdsText = "Late night jazz";
  s.view.pty = "14";
  s.view.ptyName = "Jazz music";
  s.view.pi = "-30204";
  s.view.tp = true;
  s.view.presetNumber = "2";
  s.view.presetName = "Jazz";
  s.view.scan = true;
  std::vector<std::string> rows = {"1. 87.5 - Low", "2. 104.5 - Jazz"};
  s.rows = rows;
  s.highlight = 1;
  s.message = "Can't tune: that is not a number (error 13)";
  s.messageIsError = true;
  auto lines = RenderRadioScreen(s, 80, 23);
  std::string text = All(lines);
  for (const char* part : {"FM  104.5 MHz", "JAZZ 104", "P2  Jazz", "93%", "STEREO", "TP |",
                           "Late night jazz", "PTY 14  Jazz music", "PI 8A04", "search scan",
                           "> 2. 104.5 - Jazz", "Can't tune: that is not a number (error 13)"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  EXPECT_EQ(lines.size(), 23u);
  for (const auto& l : lines) EXPECT_EQ(l.text.size(), 80u) << l.text;  // ASCII here
  int highlighted = 0;
  for (const auto& l : lines)
    highlighted +=
        l.style == LineStyle::kHighlight && l.text.find("104.5 - Jazz") != std::string::npos;
  EXPECT_EQ(highlighted, 1);
  EXPECT_EQ(lines.back().style, LineStyle::kError);
}

// Narrow and short: fields give way by importance and never run into each other, long texts end
// in an ellipsis, and a non-UTF-8 terminal gets ASCII of the same width.
TEST(RenderRadioScreen, GivesWayInOrderAtFortyByTwelve) {
  ScreenState s;
  s.view.active = true;
  s.view.band = "FM";
  s.view.frequency = "104.5";
  s.view.unit = "MHz";
  s.view.signalText = "93%";
  s.view.stereo = true;
  s.view.rdsName = "JAZZ 104";
  s.view.pi = "4660";
  s.view.presetNumber = "1";
  s.view.presetName = std::string(150, 'N');
  s.view.rdsText = "CAFF\u00c8 99 plays late night jazz with the Halvane Quartet until dawn";
  std::vector<std::string> rows = {"1. 104.5 - " + std::string(150, 'N'), "2. 87.5 - CAFF\u00c8"};
  s.rows = rows;
  for (bool ascii : {false, true}) {
    s.ascii = ascii;
    auto lines = RenderRadioScreen(s, 40, 11);
    std::string text = All(lines);
    ASSERT_EQ(lines.size(), 11u) << text;
    for (const auto& l : lines) EXPECT_EQ(CharacterCount(l.text), 40) << l.text;
    EXPECT_NE(text.find("FM  104.5 MHz  JAZZ 104  P1  NNN"), std::string::npos) << text;
    EXPECT_NE(text.find(ascii ? "N... |" : "N\u2026 |"), std::string::npos) << text;
    EXPECT_NE(text.find(ascii ? "CAFFE 99" : "CAFF\u00c8 99"), std::string::npos) << text;
    EXPECT_EQ(text.find("seek mode"), std::string::npos) << text;  // the modes went first
    EXPECT_NE(text.find("2. 87.5"), std::string::npos) << text;
    if (ascii) {
      for (char c : text) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << text;
    }
  }
}

// A traffic announcement takes the title line, in the alert style, at any width.
TEST(RenderRadioScreen, ATrafficAnnouncementTakesTheTitleLine) {
  ScreenState s;
  s.view.active = true;
  s.view.muted = true;
  s.volume = 70;
  for (bool traffic : {false, true}) {
    s.view.traffic = traffic;
    for (int width : {90, 40, 24}) {
      const ScreenLine title = RenderRadioScreen(s, width, 12).front();
      EXPECT_EQ(title.text.find("Traffic announcement") != std::string::npos, traffic)
          << title.text;
      EXPECT_EQ(title.style, traffic ? LineStyle::kAlert : LineStyle::kTitle);
      if (width == 90) {
        EXPECT_NE(title.text.find("MUTED"), std::string::npos) << title.text;
      }
    }
  }
}

TEST(RenderRadioScreen, KeepsTheHighlightedRowInViewOfALongList) {
  ScreenState s;
  std::vector<std::string> rows;
  for (int i = 1; i <= 40; ++i) rows.push_back(std::to_string(i) + ". row");
  s.rows = rows;
  s.highlight = 30;
  std::string text = All(RenderRadioScreen(s, 60, 15));
  EXPECT_NE(text.find("> 31. row"), std::string::npos);
  EXPECT_EQ(text.find("   1. row"), std::string::npos);
}

// The driver's report of the reception, as the faces show it: the quality beside the level, and
// the blend beside the stereo indicator only while stereo is on and narrowed.
TEST(DriverReception, ShowsTheQualityAndTheBlendFromTheReport) {
  const struct {
    const char* report;
    bool stereo;
    const char* quality;
    const char* blend;
  } cases[] = {
      {"reception.cnr=21.6\nreception.stereo=40\n", true, "C/N 22 dB", "40%"},
      {"rds.pi=6201\nreception.cnr=35.0\nreception.stereo=100\n", true, "C/N 35 dB", ""},
      {"reception.cnr=-20.0\nreception.stereo=0\n", false, "C/N -20 dB", ""},
      {"reception.cnr=12\nreception.stereo=0", true, "C/N 12 dB", "0%"},
      {"reception.cnr=nan\nreception.stereo=140\n", true, "", ""},
      {"reception.cnrx=30\nxreception.stereo=50\n", true, "", ""},
      {"", true, "", ""},
  };
  for (const auto& c : cases) {
    const DriverReception reception = ParseReception(c.report);
    EXPECT_EQ(QualityText(reception), c.quality) << c.report;
    EXPECT_EQ(BlendText(c.stereo, reception), c.blend) << c.report;
  }
  ScreenState s;
  s.view.active = true;
  s.view.signalText = "56%";
  s.view.stereo = true;
  s.view.reception = ParseReception("reception.cnr=21.4\nreception.stereo=40\n");
  const std::string text = All(RenderRadioScreen(s, 80, 12));
  for (const char* part : {"56%  C/N 21 dB", "STEREO 40%"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

}  // namespace
}  // namespace host
