// The demodulated programme on its way to the sink: mute fades over a few milliseconds rather
// than cutting (no click), and forced mono sums both channels.
#ifndef HALVANE_DRIVER_SDR_AUDIO_PATH_H
#define HALVANE_DRIVER_SDR_AUDIO_PATH_H

#include <memory>
#include <span>

#include "audio/audio_sink.h"

namespace halvane::driver::sdr {

// A mute or unmute takes this long to fade.
inline constexpr int kMuteRampFrames = audio::kSampleRate / 100;

class AudioPath {
 public:
  explicit AudioPath(std::unique_ptr<audio::AudioSink> sink);

  void SetMute(bool mute) { muted_ = mute; }
  void SetMono(bool mono) { mono_ = mono; }
  // Starts muted or not at once, without a fade (a new radio session).
  void Jump(bool mute);

  // Applies mute and mono to interleaved stereo in place, then hands it to the sink.
  void Play(std::span<float> interleaved);

  audio::AudioSink& sink() { return *sink_; }

 private:
  std::unique_ptr<audio::AudioSink> sink_;
  bool muted_ = false;
  bool mono_ = false;
  float gain_ = 1;
};

}  // namespace halvane::driver::sdr

#endif
