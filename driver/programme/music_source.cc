#include "programme/music_source.h"

#include <fluidsynth.h>

#include <algorithm>
#include <mutex>

#include "last_reason.h"
#include "programme/soundfont.h"

namespace halvane::driver::programme {
namespace {

// The synthesiser's own messages would land in the host's terminal; a failure that matters
// reaches the driver's last reason instead.
void QuietSynthesiser() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

// A bar is composed this long before it plays, so a block never waits on the composer.
constexpr int64_t kComposeAheadFrames = kRate / 2;
// The whole band peaks about here at the synthesiser's gain: headroom without sounding faint.
constexpr double kSynthGain = 1.0;

}  // namespace

MusicSource::MusicSource(Style style, uint64_t seed, double airS, bool stereo)
    : composer_(style, seed, airS), stereo_(stereo) {
  QuietSynthesiser();
  const std::optional<std::string> soundfont = FindSoundfont();
  if (!soundfont) {
    SetLastReason(
        "no General MIDI soundfont (install timgm6mb-soundfont, or name one in HALVANE_SOUNDFONT): "
        "music stations play silently");
    return;
  }
  settings_ = new_fluid_settings();
  if (settings_ == nullptr) return;
  fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
  fluid_settings_setnum(settings_, "synth.gain", kSynthGain);
  fluid_settings_setint(settings_, "synth.polyphony", 64);
  fluid_settings_setint(settings_, "synth.chorus.active", 0);
  fluid_settings_setint(settings_, "synth.reverb.active", 1);
  // Played from one thread at a time: no locking inside the synthesiser.
  fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
  synth_ = new_fluid_synth(settings_);
  // The samples of a soundfont loaded before are shared from the synthesiser's cache.
  if (synth_ != nullptr && fluid_synth_sfload(synth_, soundfont->c_str(), 1) == FLUID_FAILED) {
    SetLastReason(*soundfont +
                  " is no soundfont FluidSynth can load: music stations play silently");
    delete_fluid_synth(synth_);
    synth_ = nullptr;
  }
}

MusicSource::~MusicSource() {
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
}

void MusicSource::Apply(const NoteEvent& event) {
  switch (event.type) {
    case NoteEvent::Type::kNoteOn:
      fluid_synth_noteon(synth_, event.channel, event.a, event.b);
      break;
    case NoteEvent::Type::kNoteOff:
      fluid_synth_noteoff(synth_, event.channel, event.a);
      break;
    case NoteEvent::Type::kProgram:
      fluid_synth_program_change(synth_, event.channel, event.a);
      break;
    case NoteEvent::Type::kControl:
      fluid_synth_cc(synth_, event.channel, event.a, event.b);
      break;
  }
}

void MusicSource::Render(std::span<float> interleaved) {
  const auto frames = static_cast<int64_t>(interleaved.size() / 2);
  if (synth_ == nullptr) {
    std::fill(interleaved.begin(), interleaved.end(), 0.0f);
    frame_ += frames;
    return;
  }
  const int64_t end = frame_ + frames;
  while (composedUntil_ < end + kComposeAheadFrames) composedUntil_ = composer_.NextBar(events_);
  float* out = interleaved.data();
  while (frame_ < end) {
    while (next_ < events_.size() && events_[next_].frame <= frame_) Apply(events_[next_++]);
    const int64_t until = next_ < events_.size() ? std::min(end, events_[next_].frame) : end;
    const int count = static_cast<int>(until - frame_);
    fluid_synth_write_float(synth_, count, out, 0, 2, out, 1, 2);
    out += 2 * static_cast<ptrdiff_t>(count);
    frame_ = until;
  }
  if (next_ > 4096) {
    events_.erase(events_.begin(), events_.begin() + static_cast<ptrdiff_t>(next_));
    next_ = 0;
  }
  for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
    float left = std::clamp(interleaved[i], -1.0f, 1.0f);
    float right = std::clamp(interleaved[i + 1], -1.0f, 1.0f);
    if (!stereo_) left = right = (left + right) / 2;
    interleaved[i] = left;
    interleaved[i + 1] = right;
  }
}

}  // namespace halvane::driver::programme
