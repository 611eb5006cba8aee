// How each style of music is played: tempo, metre, the General MIDI instruments of its band,
// its chord progressions and the rhythm of each part. Data only; the note generator reads it.
#ifndef HALVANE_DRIVER_PROGRAMME_MUSIC_STYLES_H
#define HALVANE_DRIVER_PROGRAMME_MUSIC_STYLES_H

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "programme/programme.h"

namespace halvane::driver::programme {

// A part's rhythm over one bar in sixteenth steps: 'x' strikes, '-' holds the last note on, '.'
// rests. A bar of 3 beats uses the first 12 steps.
using StepPattern = std::string_view;

// Scale degrees from 0 (the tonic) of each bar's chord, four bars a phrase.
using Progression = std::array<int, 4>;

struct Drum {
  uint8_t key;  // General MIDI percussion key
  uint8_t velocity;
  StepPattern steps;
};

enum class BassLine { kRoot, kRootFifth, kWalking, kHeld };

struct StyleSheet {
  int tempoLow;  // beats a minute, a song's tempo drawn between them
  int tempoHigh;
  int beats;       // a bar's beats (quarters)
  bool swing;      // off-beat eighths late, as jazz and shuffles play them
  bool minor;      // songs in the minor mode now and then
  bool sevenths;   // chords with their seventh
  uint8_t melody;  // General MIDI programs (0-based)
  uint8_t chords;
  uint8_t bass;
  uint8_t colour;               // a second voice arpeggiating the chord, 255 for none
  StepPattern melodyRhythm[2];  // phrase A, phrase B
  StepPattern chordRhythm;
  StepPattern colourRhythm;
  BassLine bassLine;
  std::span<const Progression> progressions;
  std::span<const Drum> drums;
  uint8_t reverb;  // effect send, 0 to 127
};

const StyleSheet& SheetFor(Style style);

}  // namespace halvane::driver::programme

#endif
