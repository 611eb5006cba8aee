// The demodulated programme on its way to the sink, through the driver's programme stage: mute
// fades rather than cutting (no click), and forced mono sums both channels.
#ifndef HALVANE_DRIVER_SDR_DSP_AUDIO_PATH_H
#define HALVANE_DRIVER_SDR_DSP_AUDIO_PATH_H

#include <memory>
#include <span>
#include <string>

#include "audio/audio_sink.h"
#include "audio/programme_stage.h"

namespace halvane::driver::sdr {

class AudioPath {
 public:
  explicit AudioPath(std::unique_ptr<audio::AudioSink> sink);

  // A mute is heard at once: what the sink still holds fades out; an unmute fades in.
  void SetMute(bool mute) { stage_.SetMute(mute, mute); }
  void SetMono(bool mono) { stage_.SetMono(mono); }
  void SetVolume(float gain) { stage_.SetVolume(gain); }
  // Starts muted or not at once, without a fade (a new radio session).
  void Jump(bool mute);

  // The stream's name in the desktop's mixer; a title already shown is not sent again.
  void SetTitle(const std::string& title);

  // Applies mute and mono to interleaved stereo in place, then hands it to the sink.
  void Play(std::span<float> interleaved);

 private:
  std::unique_ptr<audio::AudioSink> sink_;
  audio::ProgrammeStage stage_;
  std::string title_;
};

}  // namespace halvane::driver::sdr

#endif
