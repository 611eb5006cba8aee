// Music played by FluidSynth, a General MIDI synthesiser, from the note generator's bars: the
// notes are handed to the synthesiser at their frame, so timing is exact to the sample.
#ifndef HALVANE_DRIVER_PROGRAMME_MUSIC_SOURCE_H
#define HALVANE_DRIVER_PROGRAMME_MUSIC_SOURCE_H

#include <fluidsynth/types.h>

#include <memory>
#include <vector>

#include "programme/note_generator.h"
#include "programme/source.h"

namespace halvane::driver::programme {

class MusicSource final : public Source {
 public:
  // Silent, with the last reason saying why, when no soundfont can be loaded.
  MusicSource(Style style, uint64_t seed, double airS, bool stereo);
  ~MusicSource() override;

  void Render(std::span<float> interleaved) override;
  bool playing() const { return synth_ != nullptr; }

 private:
  void Apply(const NoteEvent& event);

  NoteGenerator composer_;
  bool stereo_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  std::vector<NoteEvent> events_;  // composed, not yet played, in time order
  size_t next_ = 0;
  int64_t composedUntil_ = 0;
  int64_t frame_ = 0;
};

}  // namespace halvane::driver::programme

#endif
