// The simulated band: the stations a tuner can receive and what each of them broadcasts.
#ifndef HALVANE_DRIVER_BAND_STATION_H
#define HALVANE_DRIVER_BAND_STATION_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace halvane::driver::band {

// A recorded group: the four information words, a block absent where the recording lost it.
using CapturedGroup = std::array<std::optional<uint16_t>, 4>;

enum class TrafficAnnouncement { Off, On, Toggle };

// A RadioText+ tag over a message: its content type, first character and length.
struct RadioTextTag {
  uint8_t contentType = 0;
  uint8_t start = 0;
  uint8_t length = 0;
};

// Another programme a station tells of in its 14A/14B groups, as that programme's own station
// broadcasts it: the same flags and traffic timing, so both agree at every moment.
struct OtherProgramme {
  uint16_t pi = 0;
  uint8_t pty = 0;
  bool tp = false;
  TrafficAnnouncement ta = TrafficAnnouncement::Off;
  int32_t taPeriodS = 10;
  std::array<uint8_t, 8> ps{};
  std::vector<int32_t> alternativeFrequencies;
};

// An RDS programme generated from its fields. Texts are RDS bytes.
struct RdsProgramme {
  uint16_t pi = 0;
  uint8_t pty = 0;  // 0..31
  bool tp = false;
  TrafficAnnouncement ta = TrafficAnnouncement::Off;
  int32_t taPeriodS = 10;  // kToggle: seconds on, then as many off
  bool music = true;
  bool versionB = false;                         // 0B/2B groups instead of 0A/2A
  std::array<uint8_t, 8> ps{};                   // blank-padded
  std::vector<std::vector<uint8_t>> radiotexts;  // without terminator; at most 64 (32 in B)
  // RadioText+ tags of each message (parallel to radiotexts; empty: none sent).
  std::vector<std::vector<RadioTextTag>> radiotextTags;
  std::vector<int32_t> alternativeFrequencies;    // sent as a method A list in group 0A
  std::optional<std::array<uint8_t, 8>> ptyName;  // group 10A
  std::vector<OtherProgramme> otherNetworks;      // groups 14A/14B

  bool HasTags() const {
    for (const auto& tags : radiotextTags)
      if (!tags.empty()) return true;
    return false;
  }
};

// A point of a drive: from `atMs` after the radio started, the station is received at `level`
// (15: out of reach); between two points the level moves evenly from one to the other.
struct RoutePoint {
  int64_t atMs = 0;
  int level = 0;
};

// What a listener hears on a station (the band file's `programme` key): music, speech or the
// test tone; by type, speech where `ms` says speech or the programme type is a spoken one, else
// music.
enum class Sound { kByType, kMusic, kSpeech, kTone };

struct Station {
  std::string label;              // the band file's section name, for messages
  int32_t frequency = 0;          // the plug-in's value, on the band's raster
  int level = 0;                  // reception quality: 0 best, 14 barely; 15 would be no station
  std::vector<RoutePoint> route;  // when given, the level over time instead of `level`

  // The level `ms` after the radio started.
  int LevelAt(int64_t ms) const {
    if (route.empty()) return level;
    if (ms <= route.front().atMs) return route.front().level;
    for (size_t i = 1; i < route.size(); ++i) {
      const RoutePoint& a = route[i - 1];
      const RoutePoint& b = route[i];
      if (ms < b.atMs) {
        return a.level + static_cast<int>((b.level - a.level) * (ms - a.atMs) / (b.atMs - a.atMs));
      }
    }
    return route.back().level;
  }
  bool stereo = false;
  std::optional<RdsProgramme> programme;  // RDS built from fields...
  std::vector<CapturedGroup> capture;     // ...or replayed from a recording; neither: no RDS
  std::string capturePath;                // as written in the band file
  Sound sound = Sound::kByType;
  std::string typeKind;  // the programme type as the band file names it ("jazz"), lower case

  bool HasRds() const { return programme.has_value() || !capture.empty(); }
};

inline constexpr int kNoStationLevel = 15;

struct Band {
  std::vector<Station> stations;
  int32_t initializeError = 0;  // non-zero: radioInitialize fails with it

  const Station* Find(int32_t frequency) const {
    for (const Station& station : stations) {
      if (station.frequency == frequency) return &station;
    }
    return nullptr;
  }
};

}  // namespace halvane::driver::band

#endif
