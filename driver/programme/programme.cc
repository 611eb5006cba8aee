#include "programme/programme.h"

#include <algorithm>

#include "programme/music_source.h"
#include "programme/source.h"
#include "programme/speech_engine.h"
#include "programme/speech_source.h"
#include "programme/tone_source.h"

namespace halvane::driver::programme {
namespace {

// A change between the programme and a traffic announcement crossfades over 20 ms: no click.
constexpr float kFadeStep = 50.0f / kRate;

// A station on the air: its programme, and a traffic announcement's voice over it while one runs.
// The programme goes on underneath, so it comes back where it has got to.
class OnAir final : public Programme {
 public:
  OnAir(std::unique_ptr<Source> programme, std::vector<std::string> trafficNews, int trafficVoice)
      : programme_(std::move(programme)),
        trafficNews_(std::move(trafficNews)),
        trafficVoice_(trafficVoice) {}

  void Render(std::span<float> interleaved) override {
    programme_->Render(interleaved);
    if (!announcing_ && fade_ == 0) return;
    if (!traffic_) traffic_ = std::make_unique<SpeechSource>(trafficNews_, trafficVoice_);
    voice_.resize(interleaved.size());
    traffic_->Render(voice_);
    const float target = announcing_ ? 1.0f : 0.0f;
    for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
      fade_ = fade_ < target ? std::min(target, fade_ + kFadeStep)
                             : std::max(target, fade_ - kFadeStep);
      for (size_t c = i; c < i + 2; ++c) {
        interleaved[c] = (1 - fade_) * interleaved[c] + fade_ * voice_[c];
      }
    }
    // Each announcement reads the news from its start.
    if (!announcing_ && fade_ == 0) traffic_.reset();
  }

  void SetAnnouncement(bool on) override { announcing_ = on; }

 private:
  std::unique_ptr<Source> programme_;
  std::vector<std::string> trafficNews_;
  int trafficVoice_;
  std::unique_ptr<SpeechSource> traffic_;
  std::vector<float> voice_;
  bool announcing_ = false;
  float fade_ = 0;
};

std::unique_ptr<Source> MakeSource(const Options& options) {
  const int voice = static_cast<int>(options.seed % kVoices);
  switch (options.kind) {
    case Kind::kTone:
      return std::make_unique<ToneSource>(options.tone);
    case Kind::kSpeech: {
      std::vector<std::string> sentences;
      if (!options.name.empty()) sentences.push_back("This is " + options.name + ".");
      sentences.insert(sentences.end(), options.texts.begin(), options.texts.end());
      return std::make_unique<SpeechSource>(std::move(sentences), voice);
    }
    case Kind::kMusic:
      break;
  }
  return std::make_unique<MusicSource>(options.style, options.seed, options.airS, options.stereo);
}

}  // namespace

std::unique_ptr<Programme> MakeProgramme(const Options& options) {
  std::vector<std::string> trafficNews{options.trafficText.empty() ? "Traffic news."
                                                                   : options.trafficText};
  // Another newsreader than the station's own.
  const int trafficVoice = static_cast<int>((options.seed + 1) % kVoices);
  return std::make_unique<OnAir>(MakeSource(options), std::move(trafficNews), trafficVoice);
}

}  // namespace halvane::driver::programme
