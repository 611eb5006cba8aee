#include "programme/speech_source.h"

#include <algorithm>

#include "programme/speech_engine.h"

namespace halvane::driver::programme {

SpeechSource::SpeechSource(std::vector<std::string> sentences, int voice)
    : sentences_(std::move(sentences)), spoken_(sentences_.size()), voice_(voice) {}

void SpeechSource::Render(std::span<float> interleaved) {
  std::fill(interleaved.begin(), interleaved.end(), 0.0f);
  if (sentences_.empty()) return;
  for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
    std::vector<float>& spoken = spoken_[sentence_];
    if (frame_ == 0 && spoken.empty()) spoken = Speak(sentences_[sentence_], voice_);
    if (frame_ < spoken.size()) interleaved[i] = interleaved[i + 1] = spoken[frame_];
    if (++frame_ >= spoken.size() + kSentencePauseFrames) {
      frame_ = 0;
      sentence_ = (sentence_ + 1) % sentences_.size();
    }
  }
}

}  // namespace halvane::driver::programme
