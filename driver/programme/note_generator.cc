#include "programme/note_generator.h"

#include <algorithm>
#include <array>

#include "sim/prng.h"

namespace halvane::driver::programme {
namespace {

constexpr std::array<int, 7> kMajor{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor{0, 2, 3, 5, 7, 8, 10};
constexpr int kStepsPerBeat = 4;
constexpr int kMelodyLow = 62;  // the tune stays between D4 and C6
constexpr int kMelodyHigh = 84;

// Draws of one bar or song, from its own numbers: nothing depends on what was drawn before.
class Draws {
 public:
  Draws(uint64_t seed, uint64_t a, uint64_t b) : state_(sim::RandomFor(seed, a, b)) {}
  uint64_t Next() { return sim::Mix64(state_++); }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }

 private:
  uint64_t state_;
};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The end of the note struck at `step` in `pattern`: the steps it holds on with '-'.
int HeldUntil(StepPattern pattern, int step, int steps) {
  int end = step + 1;
  while (end < steps && static_cast<size_t>(end) < pattern.size() && pattern[end] == '-') ++end;
  return end;
}

}  // namespace

NoteGenerator::NoteGenerator(Style style, uint64_t seed, double airS)
    : sheet_(SheetFor(style)), seed_(seed) {
  // Songs follow one another from the moment the station went on the air; find the bar playing.
  double songStartS = 0;
  for (;; ++song_) {
    const Song song = SongNumber(song_);
    const double barS = static_cast<double>(BarFrames(song.tempo)) / kRate;
    const double lengthS = barS * (kBarsPerSong + 1);
    if (songStartS + lengthS > airS) {
      bar_ = static_cast<int>((airS - songStartS) / barS);
      break;
    }
    songStartS += lengthS;
  }
}

NoteGenerator::Song NoteGenerator::SongNumber(uint64_t number) const {
  Draws draws(seed_, number, 0x50e6);
  Song song{};
  song.tempo = sheet_.tempoLow + draws.Below(sheet_.tempoHigh - sheet_.tempoLow + 1);
  song.tonic = 45 + draws.Below(12);  // A2 to G#3
  song.minor = sheet_.minor && draws.Chance(30);
  song.progression = draws.Below(static_cast<int>(sheet_.progressions.size()));
  return song;
}

int64_t NoteGenerator::BarFrames(int tempo) const {
  return int64_t{kRate} * 60 * sheet_.beats / tempo;
}

int NoteGenerator::Degree(int degree) const {
  const std::array<int, 7>& scale = minor_ ? kMinor : kMajor;
  const int octave = FloorDiv(degree, 7);
  return tonic_ + 12 * octave + scale[static_cast<size_t>(degree - 7 * octave)];
}

int64_t NoteGenerator::StepFrame(int step) const {
  const int64_t stepFrames = barFrames_ / steps_;
  int64_t frame = barStart_ + step * stepFrames;
  // A swung off-beat eighth falls at two thirds of the beat rather than half.
  if (sheet_.swing && step % kStepsPerBeat == 2) frame += stepFrames * 2 / 3;
  return frame;
}

void NoteGenerator::Note(std::vector<NoteEvent>& out, uint8_t channel, int key, int velocity,
                         int fromStep, int toStep) const {
  key = std::clamp(key, 0, 127);
  velocity = std::clamp(velocity, 1, 127);
  const int64_t on = StepFrame(fromStep);
  // Released a little before the next note, so a repeated key strikes again.
  const int64_t off = std::max(on + 1, StepFrame(toStep) - barFrames_ / steps_ / 8);
  out.push_back({on, NoteEvent::Type::kNoteOn, channel, static_cast<uint8_t>(key),
                 static_cast<uint8_t>(velocity)});
  out.push_back({off, NoteEvent::Type::kNoteOff, channel, static_cast<uint8_t>(key), 0});
}

void NoteGenerator::BeginSong(std::vector<NoteEvent>& out) {
  const Song song = SongNumber(song_);
  tempo_ = song.tempo;
  tonic_ = song.tonic;
  minor_ = song.minor;
  progression_ = song.progression;
  barFrames_ = BarFrames(tempo_);
  steps_ = sheet_.beats * kStepsPerBeat;
  const auto control = [&](uint8_t channel, uint8_t controller, uint8_t value) {
    out.push_back({barStart_, NoteEvent::Type::kControl, channel, controller, value});
  };
  const auto program = [&](uint8_t channel, uint8_t number) {
    out.push_back({barStart_, NoteEvent::Type::kProgram, channel, number, 0});
  };
  program(kMelodyChannel, sheet_.melody);
  program(kChordChannel, sheet_.chords);
  program(kBassChannel, sheet_.bass);
  if (sheet_.colour != 255) program(kColourChannel, sheet_.colour);
  // The band across the stereo stage: tune left of centre, chords right, bass and drums in the
  // middle, the colour voice further out left.
  constexpr uint8_t kVolume = 7;
  constexpr uint8_t kPan = 10;
  constexpr uint8_t kReverb = 91;
  const std::array<std::array<uint8_t, 3>, 5> mix{{{kMelodyChannel, 82, 44},
                                                   {kChordChannel, 90, 88},
                                                   {kBassChannel, 64, 64},
                                                   {kColourChannel, 72, 24},
                                                   {kDrumChannel, 110, 64}}};
  for (const auto& [channel, volume, pan] : mix) {
    control(channel, kVolume, volume);
    control(channel, kPan, pan);
    control(channel, kReverb, sheet_.reverb);
  }
  songBegun_ = true;
}

int64_t NoteGenerator::NextBar(std::vector<NoteEvent>& out) {
  const size_t first = out.size();
  if (!songBegun_) BeginSong(out);
  if (bar_ < kBarsPerSong) {
    const Progression& progression = sheet_.progressions[static_cast<size_t>(progression_)];
    const int chord = progression[static_cast<size_t>(bar_ % 4)];
    const int nextChord = progression[static_cast<size_t>((bar_ + 1) % 4)];
    if (bar_ == kBarsPerSong - 1) {
      // The last bar: the tonic chord held, the tune on the tonic.
      const std::array<int, 3> tonicChord{0, 2, 4};
      for (const int degree : tonicChord) {
        Note(out, kChordChannel, Degree(degree) + 12, 80, 0, steps_);
      }
      Note(out, kBassChannel, Degree(0) - 12, 90, 0, steps_);
      Note(out, kMelodyChannel, Degree(7) + 12, 90, 0, steps_);
    } else {
      if (bar_ >= kIntroBars) Melody(out, chord);
      Chords(out, chord);
      Colour(out, chord);
      Bass(out, chord, nextChord);
      Drums(out);
    }
  }
  std::stable_sort(out.begin() + static_cast<ptrdiff_t>(first), out.end(),
                   [](const NoteEvent& a, const NoteEvent& b) { return a.frame < b.frame; });
  barStart_ += barFrames_;
  if (++bar_ > kBarsPerSong) {
    bar_ = 0;
    ++song_;
    songBegun_ = false;
  }
  return barStart_;
}

void NoteGenerator::Melody(std::vector<NoteEvent>& out, int chord) {
  // Phrases run A A B A, so a tune comes back: a bar's draws depend on its phrase's letter and
  // its place in the phrase, not on the bar's number.
  const int phrase = (bar_ / 4) % 4;
  const bool partB = phrase == 2;
  Draws draws(seed_ ^ song_, partB ? 2 : 1, static_cast<uint64_t>(bar_ % 4));
  const StepPattern rhythm = sheet_.melodyRhythm[partB ? 1 : 0];
  int degree = 7 + draws.Below(5);  // start from the octave's upper half
  for (int step = 0; step < steps_ && static_cast<size_t>(step) < rhythm.size(); ++step) {
    if (rhythm[step] != 'x' || draws.Chance(12)) continue;
    degree += draws.Below(5) - 2;  // steps and small leaps, mostly
    if (step % kStepsPerBeat == 0) {
      // On the beat, the nearest tone of the chord.
      const int offset = ((degree - chord) % 7 + 7) % 7;
      if (offset % 2 == 1) degree += offset == 1 || offset == 3 ? -1 : 1;
    }
    while (Degree(degree) + 12 > kMelodyHigh) degree -= 2;
    while (Degree(degree) + 12 < kMelodyLow) degree += 2;
    const int velocity = (step == 0 ? 100 : 84) + draws.Below(12);
    Note(out, kMelodyChannel, Degree(degree) + 12, velocity, step, HeldUntil(rhythm, step, steps_));
  }
}

void NoteGenerator::Chords(std::vector<NoteEvent>& out, int chord) const {
  const StepPattern rhythm = sheet_.chordRhythm;
  const bool power = sheet_.chords == 30;  // distortion guitar: root, fifth, octave
  std::array<int, 4> keys{};
  size_t count = 0;
  if (power) {
    keys = {Degree(chord), Degree(chord + 4), Degree(chord) + 12, 0};
    count = 3;
  } else {
    for (int i = 0; i < (sheet_.sevenths ? 4 : 3); ++i) keys[count++] = Degree(chord + 2 * i) + 12;
  }
  for (int step = 0; step < steps_ && static_cast<size_t>(step) < rhythm.size(); ++step) {
    if (rhythm[step] != 'x') continue;
    const int velocity = step % kStepsPerBeat == 0 ? 76 : 64;
    for (size_t i = 0; i < count; ++i) {
      Note(out, kChordChannel, keys[i], velocity, step, HeldUntil(rhythm, step, steps_));
    }
  }
}

void NoteGenerator::Colour(std::vector<NoteEvent>& out, int chord) const {
  if (sheet_.colour == 255) return;
  const StepPattern rhythm = sheet_.colourRhythm;
  // Up and down the chord over two octaves.
  constexpr std::array<int, 6> kWalk{0, 2, 4, 7, 4, 2};
  size_t next = 0;
  for (int step = 0; step < steps_ && static_cast<size_t>(step) < rhythm.size(); ++step) {
    if (rhythm[step] != 'x') continue;
    const int key = Degree(chord + kWalk[next++ % kWalk.size()]) + 24;
    Note(out, kColourChannel, key, step % kStepsPerBeat == 0 ? 70 : 56, step,
         HeldUntil(rhythm, step, steps_));
  }
}

void NoteGenerator::Bass(std::vector<NoteEvent>& out, int chord, int nextChord) const {
  const int root = Degree(chord) - 12;
  const int fifth = Degree(chord + 4) - 12;
  const int beat = kStepsPerBeat;
  switch (sheet_.bassLine) {
    case BassLine::kRoot:
      for (int step = 0; step < steps_; step += 2)
        Note(out, kBassChannel, root, 96, step, step + 2);
      break;
    case BassLine::kRootFifth:
      Note(out, kBassChannel, root, 100, 0, 2 * beat - 2);
      Note(out, kBassChannel, root, 80, 2 * beat - 2, 2 * beat);
      Note(out, kBassChannel, fifth, 92, 2 * beat, steps_);
      break;
    case BassLine::kWalking: {
      // Root, a step up, the fifth, then a half step into the next bar's root.
      const int next = Degree(nextChord) - 12;
      const std::array<int, 4> walk{root, Degree(chord + 1) - 12, fifth,
                                    next + (next > fifth ? -1 : 1)};
      for (int i = 0; i < sheet_.beats && i < 4; ++i) {
        Note(out, kBassChannel, walk[static_cast<size_t>(i)], i == 0 ? 100 : 86, i * beat,
             (i + 1) * beat);
      }
      break;
    }
    case BassLine::kHeld:
      Note(out, kBassChannel, root, 84, 0, steps_);
      break;
  }
}

void NoteGenerator::Drums(std::vector<NoteEvent>& out) const {
  constexpr uint8_t kCrash = 49;
  for (const Drum& drum : sheet_.drums) {
    // The crash marks a phrase's first bar only.
    if (drum.key == kCrash && bar_ % 4 != 0) continue;
    for (int step = 0; step < steps_ && static_cast<size_t>(step) < drum.steps.size(); ++step) {
      if (drum.steps[step] != 'x') continue;
      Note(out, kDrumChannel, drum.key, drum.velocity, step, step + 1);
    }
  }
}

}  // namespace halvane::driver::programme
