// A voice reading sentences one after another with a pause between them, over and over: a
// speech station's programme, or a traffic announcement. Each sentence is spoken when it comes
// up and kept, so the reading costs the speech synthesiser once per sentence.
#ifndef HALVANE_DRIVER_PROGRAMME_SPEECH_SOURCE_H
#define HALVANE_DRIVER_PROGRAMME_SPEECH_SOURCE_H

#include <string>
#include <vector>

#include "programme/source.h"

namespace halvane::driver::programme {

// The pause after each sentence: 0.7 s.
inline constexpr size_t kSentencePauseFrames = 33600;

class SpeechSource final : public Source {
 public:
  SpeechSource(std::vector<std::string> sentences, int voice);
  void Render(std::span<float> interleaved) override;

 private:
  std::vector<std::string> sentences_;
  std::vector<std::vector<float>> spoken_;  // by sentence, as it came up
  int voice_;
  size_t sentence_ = 0;
  size_t frame_ = 0;  // in the sentence and the pause after it
};

}  // namespace halvane::driver::programme

#endif
