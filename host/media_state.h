// What the desktop's media interface shows of the radio: whether it plays, and the station as a
// "track" (title, artist, album, picture). Read from the plug-in's own label and indicator
// answers, so a panel shows what the radio screen shows.
#ifndef HALVANE_HOST_MEDIA_STATE_H
#define HALVANE_HOST_MEDIA_STATE_H

#include <cstdint>
#include <string>

#include "radio_host.h"
#include "station_text.h"

namespace host {

struct MediaState {
  std::string playbackStatus = "Stopped";  // "Playing", "Paused" while muted, "Stopped" inactive
  bool active = false;                     // the radio plays: next, previous, play, pause act
  std::string title;                       // RadioText, else the station's name
  std::string artist;                      // the station's name: RDS name, else the preset's
  std::string album;                       // "104.5 MHz"
  std::string artUrl;                      // "file:///..." or ""
  std::string trackId;                     // an object path naming the tuned frequency
  double volume = 1.0;                     // 0 to 1; 1 for a tuner without volume control

  bool operator==(const MediaState&) const = default;
};

// Asks the plug-in; a radio not created, or a query that fails, gives what a stopped radio shows.
MediaState ReadMediaState(RadioHost& host);

// The metadata's title, artist and album from the plug-in's texts, as ReadMediaState makes them.
struct StationTexts {
  std::string rdsName, rdsText, presetName, frequency, unit;
  // The song on air as the station tags it (RadioText+): when sent, the title and artist.
  std::string songTitle, songArtist;
};
void DescribeStation(const StationTexts& texts, MediaState& state);

}  // namespace host

#endif
