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
  s.rows = {"1. 87.5 - Low", "2. 104.5 - Jazz"};
  s.highlight = 1;
  s.lastError = "13 Type mismatch";
  auto lines = RenderRadioScreen(s, 80);
  std::string text = All(lines);
  for (const char* part : {"FM  104.5 MHz", "JAZZ 104", "P2  Jazz", "93%", "STEREO", "TP --",
                           "Late night jazz", "PTY 14  Jazz music", "PI 8A04", "search scan",
                           "> 2. 104.5 - Jazz", "Last error: 13 Type mismatch"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  for (const auto& l : lines) EXPECT_EQ(l.text.size(), 80u) << l.text;  // ASCII here
  int emphasised = 0;
  for (const auto& l : lines)
    emphasised += l.emphasis && l.text.find("104.5 - Jazz") != std::string::npos;
  EXPECT_EQ(emphasised, 1);
}

TEST(RenderRadioScreen, KeepsTheHighlightedRowInViewOfALongList) {
  ScreenState s;
  for (int i = 1; i <= 40; ++i) s.rows.push_back(std::to_string(i) + ". row");
  s.highlight = 30;
  s.maxRows = 5;
  std::string text = All(RenderRadioScreen(s, 60));
  EXPECT_NE(text.find("> 31. row"), std::string::npos);
  EXPECT_EQ(text.find("   1. row"), std::string::npos);
}

}  // namespace
}  // namespace host
