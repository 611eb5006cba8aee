// The last step before a sink: the programme's volume and mute, ramped so they never click, and
// the forced mono sum. Shared by every backend whose sound the driver carries (the SDR receiver's
// audio, the capture loop of a USB tuner). The tuner's thread sets the targets; the audio thread
// processes.
#ifndef HALVANE_DRIVER_AUDIO_PROGRAMME_STAGE_H
#define HALVANE_DRIVER_AUDIO_PROGRAMME_STAGE_H

#include <atomic>
#include <cstdint>
#include <span>

#include "audio/audio_sink.h"

namespace halvane::driver::audio {

// 10 ms: short enough that a mute is heard at once, long enough that the step is no click.
inline constexpr int kRampFrames = kSampleRate / 100;

// The gain of a volume from 0 to 100 percent: the cube of its fraction, so equal steps sound
// like equal steps (50 % is about -18 dB), as the desktop's own volume controls do.
inline float VolumeGain(int32_t percent) {
  const float fraction = static_cast<float>(percent < 0 ? 0 : percent > 100 ? 100 : percent) / 100;
  return fraction * fraction * fraction;
}

class ProgrammeStage {
 public:
  // Thread-safe: take effect from the next Process. `atOnce`: the next Play also lets the sink
  // drop what it still holds (with a short fade) and lands the ramps at once, so a mute is heard
  // within the sound server's latency rather than after everything queued.
  void SetMute(bool mute, bool atOnce = false) {
    mute_.store(mute, std::memory_order_relaxed);
    if (atOnce) hush_.store(true, std::memory_order_release);
  }
  void SetMono(bool mono) { mono_.store(mono, std::memory_order_relaxed); }
  // The programme's gain while not muted, from 0 to 1; reached with the same ramp as a mute.
  void SetVolume(float gain) { volume_.store(gain, std::memory_order_relaxed); }
  bool muted() const { return mute_.load(std::memory_order_relaxed); }

  // Lands the ramps on their targets at the next Process, as for a programme that starts: there
  // is no sound yet to click. A new stage starts so. Thread-safe.
  void Reset() { snap_.store(true, std::memory_order_release); }

  // Interleaved stereo frames, changed in place. Called from one thread at a time.
  void Process(std::span<float> interleaved);
  // Processes `interleaved` and writes it to `sink`, hushing the sink first when asked to.
  void Play(std::span<float> interleaved, AudioSink& sink);

 private:
  std::atomic<bool> mute_{false};
  std::atomic<bool> mono_{false};
  std::atomic<float> volume_{1.0f};
  std::atomic<bool> hush_{false};
  std::atomic<bool> snap_{true};
  // Where the ramps stand: gain 1 plays, 0 is silent; mix 0 is stereo, 1 the mono sum.
  float gain_ = 1.0f;
  float mix_ = 0.0f;
};

}  // namespace halvane::driver::audio

#endif
