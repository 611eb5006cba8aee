// What the capture-loop tests share: an ALSA device of the test's own that captures known
// samples (a file plugin over the null device: no sound card needed), and a sink that keeps what
// it is given.
#ifndef HALVANE_TESTS_AUDIO_ALSA_SOURCE_H
#define HALVANE_TESTS_AUDIO_ALSA_SOURCE_H

#include <mutex>
#include <string>
#include <vector>

#include "audio/audio_sink.h"

namespace halvane::audio_test {

// Defines the ALSA device "halvane_source" capturing `input` (interleaved stereo float) and
// returns its name. ALSA reads its configuration once per process: call this before any ALSA
// device is opened; later calls only change the samples.
std::string DefineAlsaSource(const std::vector<float>& input);

// Known samples: a saw-tooth that differs from frame to frame and channel to channel.
std::vector<float> SourceSamples(size_t frames);

class RecordingSink final : public driver::audio::AudioSink {
 public:
  void Write(std::span<const float> interleaved) override;
  void SetTitle(std::string_view title) override;
  std::vector<float> samples() const;
  std::string title() const;

 private:
  mutable std::mutex mutex_;
  std::vector<float> samples_;
  std::string title_;
};

}  // namespace halvane::audio_test

#endif
