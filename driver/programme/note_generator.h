// The composer of a music programme: songs in a style, bar by bar, as note events for a General
// MIDI synthesiser. A song is 32 bars in four-bar phrases (A A B A twice: a tune comes back),
// four bars of band alone before the tune comes in, a held tonic at its end and a bar's pause
// before the next song in another key and tempo. Everything is drawn from the station's seed
// and the song's number, so the same station plays the same song at the same time wherever it
// is heard.
#ifndef HALVANE_DRIVER_PROGRAMME_NOTE_GENERATOR_H
#define HALVANE_DRIVER_PROGRAMME_NOTE_GENERATOR_H

#include <cstdint>
#include <vector>

#include "programme/music_styles.h"
#include "programme/programme.h"

namespace halvane::driver::programme {

struct NoteEvent {
  enum class Type : uint8_t { kNoteOn, kNoteOff, kProgram, kControl };
  int64_t frame = 0;  // from the programme's first frame, at kRate
  Type type = Type::kNoteOn;
  uint8_t channel = 0;
  uint8_t a = 0;  // key, program or controller
  uint8_t b = 0;  // velocity or value
};

// The synthesiser's channels the parts play on (9 is General MIDI's percussion).
inline constexpr uint8_t kMelodyChannel = 0;
inline constexpr uint8_t kChordChannel = 1;
inline constexpr uint8_t kBassChannel = 2;
inline constexpr uint8_t kColourChannel = 3;
inline constexpr uint8_t kDrumChannel = 9;

inline constexpr int kBarsPerSong = 32;
inline constexpr int kIntroBars = 2;

class NoteGenerator {
 public:
  // Starts in the bar of the song playing `airS` seconds after the station went on the air.
  NoteGenerator(Style style, uint64_t seed, double airS);

  // Appends the next bar's events in time order and returns the frame where the bar ends. Every
  // note of a bar ends within it.
  int64_t NextBar(std::vector<NoteEvent>& out);

  // The tempo and key of the song playing, for tests and the curious.
  int tempo() const { return tempo_; }
  int tonic() const { return tonic_; }

 private:
  struct Song {
    int tempo;
    int tonic;  // MIDI key of the tonic, octave 3
    bool minor;
    int progression;
  };
  Song SongNumber(uint64_t number) const;
  int64_t BarFrames(int tempo) const;
  void BeginSong(std::vector<NoteEvent>& out);
  // The pitch of scale degree `degree` (any integer) above the tonic.
  int Degree(int degree) const;
  int64_t StepFrame(int step) const;
  void Note(std::vector<NoteEvent>& out, uint8_t channel, int key, int velocity, int fromStep,
            int toStep) const;
  void Melody(std::vector<NoteEvent>& out, int chord);
  void Chords(std::vector<NoteEvent>& out, int chord) const;
  void Colour(std::vector<NoteEvent>& out, int chord) const;
  void Bass(std::vector<NoteEvent>& out, int chord, int nextChord) const;
  void Drums(std::vector<NoteEvent>& out) const;

  const StyleSheet& sheet_;
  uint64_t seed_;
  uint64_t song_ = 0;
  int bar_ = 0;  // in the song; kBarsPerSong is the pause after it
  int tempo_ = 120;
  int tonic_ = 48;
  bool minor_ = false;
  int progression_ = 0;
  int64_t barStart_ = 0;
  int64_t barFrames_ = 0;
  int steps_ = 16;
  bool songBegun_ = false;
};

}  // namespace halvane::driver::programme

#endif
