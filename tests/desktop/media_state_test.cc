#include "media_state.h"

#include <glib.h>
#include <gtest/gtest.h>

namespace host {
namespace {

TEST(MediaState, DescribesTheStationFromWhatTheRadioShows) {
  struct Case {
    StationTexts texts;
    std::string title, artist, album;
  };
  const std::string nuls("Late night jazz\0\0\0  ", 20);
  const Case cases[] = {
      // RDS: the RadioText is the title, the RDS name the artist; padding and NULs go.
      {{"JAZZ 104", nuls, "Jazz", "104.5", "MHz", "", ""},
       "Late night jazz",
       "JAZZ 104",
       "104.5 MHz"},
      {{"  NORD\tW ", "", "", "89.3", "MHz", "", ""}, "NORD W", "NORD W", "89.3 MHz"},
      // No RDS: the preset's name, else the frequency, so a panel always has a title.
      {{"", "", "Morning", "93.6", "MHz", "", ""}, "Morning", "Morning", "93.6 MHz"},
      {{"        ", " ", "", "1040", "KHz", "", ""}, "1040 kHz", "", "1040 kHz"},
      // RadioText+: the song's title and artist, each when sent.
      {{"JAZZ 104", nuls, "", "104.5", "MHz", "Feeling Good", "Nina Simone"},
       "Feeling Good",
       "Nina Simone",
       "104.5 MHz"},
      {{"JAZZ 104", nuls, "", "104.5", "MHz", "Feeling Good", " "},
       "Feeling Good",
       "JAZZ 104",
       "104.5 MHz"},
  };
  for (const Case& c : cases) {
    MediaState state;
    DescribeStation(c.texts, state);
    EXPECT_EQ(state.title, c.title) << c.texts.rdsName;
    EXPECT_EQ(state.artist, c.artist) << c.texts.rdsName;
    EXPECT_EQ(state.album, c.album) << c.texts.rdsName;
  }
}

TEST(MediaState, TextsReachTheBusAsValidUtf8) {
  // The bus refuses a string that is not UTF-8: a broken byte must not silence the radio.
  for (const std::string& text :
       {std::string("CAF\xC3\x88 99"), std::string("Caf\xE9\xFF"), std::string("\xC3")}) {
    std::string clean = CleanStationText(text);
    EXPECT_TRUE(g_utf8_validate(clean.data(), static_cast<gssize>(clean.size()), nullptr)) << clean;
  }
  EXPECT_EQ(CleanStationText("CAF\xC3\x88 99 "), "CAF\xC3\x88 99");
}

TEST(MediaState, NoRadioIsStopped) {
  RadioHost host(ResolveFolders("/nonexistent-halvane-home"), "/nonexistent/");
  MediaState state = ReadMediaState(host);
  EXPECT_EQ(state.playbackStatus, "Stopped");
  EXPECT_FALSE(state.active);
}

}  // namespace
}  // namespace host
