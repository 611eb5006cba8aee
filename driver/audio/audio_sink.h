// Where a backend's programme sound goes. The receiver writes what it demodulates; the sink plays
// it (through the desktop's sound server) or, when there is none, lets it fall.
#ifndef HALVANE_DRIVER_AUDIO_AUDIO_SINK_H
#define HALVANE_DRIVER_AUDIO_AUDIO_SINK_H

#include <memory>
#include <span>
#include <string_view>

namespace halvane::driver::audio {

// The one format every sink takes: 48 kHz, two channels, float samples in [-1, 1], interleaved
// left then right.
inline constexpr int kSampleRate = 48000;
inline constexpr int kChannels = 2;

class AudioSink {
 public:
  virtual ~AudioSink() = default;
  // Never blocks the caller: a sink that cannot take every frame drops what does not fit.
  virtual void Write(std::span<const float> interleaved) = 0;
  // The station's name, which the desktop's mixer shows for the stream.
  virtual void SetTitle(std::string_view title) = 0;
  // Lets what is written but not yet heard fade out at once: a mute is heard within the sound
  // server's own latency, not after everything still queued. The writer goes on writing silence.
  virtual void Hush() {}
};

// Takes everything and plays nothing: for a radio without a sound server, and for tests.
class NullAudioSink final : public AudioSink {
 public:
  void Write(std::span<const float>) override {}
  void SetTitle(std::string_view) override {}
  void Hush() override {}
};

// The sink the driver plays through. Without a usable sound server it is a NullAudioSink and the
// driver's last reason says why.
std::unique_ptr<AudioSink> OpenAudioOutput();

}  // namespace halvane::driver::audio

#endif
