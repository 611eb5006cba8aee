#include "sdr/audio_path.h"

#include <algorithm>

namespace halvane::driver::sdr {

AudioPath::AudioPath(std::unique_ptr<audio::AudioSink> sink) : sink_(std::move(sink)) {}

void AudioPath::Jump(bool mute) {
  muted_ = mute;
  gain_ = mute ? 0.0f : 1.0f;
}

void AudioPath::Play(std::span<float> interleaved) {
  const float target = muted_ ? 0.0f : 1.0f;
  constexpr float kStep = 1.0f / kMuteRampFrames;
  for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
    if (gain_ < target) gain_ = std::min(target, gain_ + kStep);
    if (gain_ > target) gain_ = std::max(target, gain_ - kStep);
    float left = interleaved[i];
    float right = interleaved[i + 1];
    if (mono_) left = right = (left + right) / 2;
    interleaved[i] = left * gain_;
    interleaved[i + 1] = right * gain_;
  }
  if (!interleaved.empty()) sink_->Write(interleaved);
}

}  // namespace halvane::driver::sdr
