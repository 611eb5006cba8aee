#include "programme/music_styles.h"

namespace halvane::driver::programme {
namespace {

// General MIDI percussion keys.
constexpr uint8_t kKick = 36;
constexpr uint8_t kSnare = 38;
constexpr uint8_t kSideStick = 37;
constexpr uint8_t kClosedHat = 42;
constexpr uint8_t kPedalHat = 44;
constexpr uint8_t kOpenHat = 46;
constexpr uint8_t kRide = 51;
constexpr uint8_t kCrash = 49;
constexpr uint8_t kTambourine = 54;

constexpr Progression kPopChords[] = {{0, 4, 5, 3}, {5, 3, 0, 4}, {0, 3, 4, 3}, {0, 5, 3, 4}};
constexpr Progression kRockChords[] = {{0, 6, 3, 0}, {0, 3, 4, 3}, {5, 3, 4, 4}, {0, 4, 3, 3}};
constexpr Progression kJazzChords[] = {{1, 4, 0, 5}, {0, 5, 1, 4}, {2, 5, 1, 4}};
constexpr Progression kClassicalChords[] = {{0, 3, 4, 0}, {0, 5, 1, 4}, {0, 3, 1, 4}, {5, 1, 4, 0}};
constexpr Progression kCountryChords[] = {{0, 3, 4, 0}, {0, 0, 3, 4}, {0, 4, 3, 0}};
constexpr Progression kOldiesChords[] = {{0, 0, 3, 0}, {0, 5, 3, 4}, {3, 3, 0, 4}};
constexpr Progression kSoulChords[] = {{1, 4, 0, 0}, {0, 5, 1, 4}, {3, 4, 2, 5}};

constexpr Drum kPopDrums[] = {
    {kKick, 100, "x.....x.x......."},
    {kSnare, 90, "....x.......x..."},
    {kClosedHat, 60, "x.x.x.x.x.x.x.x."},
    {kTambourine, 45, "....x.......x..."},
};
constexpr Drum kRockDrums[] = {
    {kKick, 115, "x.......x.x....."},
    {kSnare, 110, "....x.......x..."},
    {kClosedHat, 70, "x.x.x.x.x.x.x.x."},
    {kCrash, 70, "x..............."},
};
constexpr Drum kJazzDrums[] = {
    {kRide, 70, "x...x.x.x...x.x."},
    {kPedalHat, 55, "....x.......x..."},
    {kKick, 40, "x..............."},
};
constexpr Drum kCountryDrums[] = {
    {kKick, 90, "x.......x......."},
    {kSideStick, 80, "....x.......x..."},
    {kClosedHat, 55, "x.xxx.xxx.xxx.xx"},
};
constexpr Drum kOldiesDrums[] = {
    {kKick, 95, "x.......x......."},
    {kSnare, 95, "....x.......x..."},
    {kClosedHat, 60, "x.x.x.x.x.x.x.x."},
};
constexpr Drum kSoulDrums[] = {
    {kKick, 100, "x......x..x....."},
    {kSnare, 85, "....x.......x..."},
    {kClosedHat, 55, "x.x.x.x.x.x.x.x."},
    {kOpenHat, 50, "..............x."},
};

constexpr StyleSheet kSheets[] = {
    // Pop: electric piano chords, a synth lead, picked bass.
    {100,
     124,
     4,
     false,
     true,
     false,
     81,
     4,
     34,
     24,
     {"x-.x-.x-x---x.x.", "x---x-x-x-x-x---"},
     "x-.x-.x.x-.x-.x.",
     "x.x.x.x.x.x.x.x.",
     BassLine::kRootFifth,
     kPopChords,
     kPopDrums,
     50},
    // Rock: overdriven lead over distorted power chords.
    {118,
     140,
     4,
     false,
     true,
     false,
     29,
     30,
     34,
     255,
     {"x-x-x---x-x-x---", "x---x---x-x-x-x-"},
     "x-x-x-x-x-x-x-x-",
     "",
     BassLine::kRoot,
     kRockChords,
     kRockDrums,
     30},
    // Jazz: tenor saxophone, comping piano with sevenths, walking bass, ride cymbal, swung.
    {96,
     150,
     4,
     true,
     false,
     true,
     66,
     0,
     32,
     255,
     {"x-x.x-x.x---..x-", "..x-x-x-x-x---.."},
     "...x--...x......",
     "",
     BassLine::kWalking,
     kJazzChords,
     kJazzDrums,
     45},
    // Classical: violin over sustained strings, a harp's arpeggio, cello; no drums.
    {66,
     92,
     3,
     false,
     true,
     false,
     40,
     48,
     42,
     46,
     {"x---x-x-x---", "x-x-x-x---x-"},
     "x-----------",
     "x.x.x.x.x.x.",
     BassLine::kHeld,
     kClassicalChords,
     {},
     80},
    // Country: fiddle, strummed steel-string guitar, banjo rolls, the train beat.
    {100,
     128,
     4,
     false,
     false,
     false,
     110,
     25,
     32,
     105,
     {"x-x-x---x-x-x---", "x.x.x-x-x---x---"},
     "x.xxx.xxx.xxx.xx",
     "xxxxxxxxxxxxxxxx",
     BassLine::kRootFifth,
     kCountryChords,
     kCountryDrums,
     40},
    // Oldies: rock and roll's saxophone and piano over a shuffle.
    {130,
     160,
     4,
     true,
     false,
     true,
     65,
     0,
     33,
     255,
     {"x-x-x-x-x---x-x-", "x---x-x-x---x---"},
     "x.x.x.x.x.x.x.x.",
     "",
     BassLine::kWalking,
     kOldiesChords,
     kOldiesDrums,
     35},
    // Soul: organ chords, electric piano lead, a syncopated bass.
    {82,
     102,
     4,
     false,
     true,
     true,
     4,
     16,
     33,
     255,
     {"x-.x-.x---x-x---", "x-x-x---x-.x-x--"},
     "x---..x.x---..x.",
     "",
     BassLine::kRootFifth,
     kSoulChords,
     kSoulDrums,
     45},
};

}  // namespace

const StyleSheet& SheetFor(Style style) { return kSheets[static_cast<int>(style)]; }

}  // namespace halvane::driver::programme
