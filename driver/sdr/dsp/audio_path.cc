#include "sdr/dsp/audio_path.h"

namespace halvane::driver::sdr {

AudioPath::AudioPath(std::unique_ptr<audio::AudioSink> sink) : sink_(std::move(sink)) {}

void AudioPath::Jump(bool mute) {
  stage_.SetMute(mute);
  stage_.Reset();
}

void AudioPath::SetTitle(const std::string& title) {
  if (title == title_) return;
  title_ = title;
  sink_->SetTitle(title);
}

void AudioPath::Play(std::span<float> interleaved) {
  if (interleaved.empty()) return;
  stage_.Play(interleaved, *sink_);
}

}  // namespace halvane::driver::sdr
