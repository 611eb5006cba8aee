// A tuner whose sound arrives as an ALSA capture device (a USB FM receiver of the V4L2 kind),
// played while the tuner runs: it wraps the tuner, starts the capture loop when the tuner has
// initialised and stops it before the tuner shuts down, mutes in the loop where the tuner cannot
// mute itself, sums to mono in the loop as well as in the tuner, and names the stream after the
// station (its RDS name, else its frequency) so the desktop's mixer shows what plays.
#ifndef HALVANE_DRIVER_AUDIO_PLAYTHROUGH_TUNER_H
#define HALVANE_DRIVER_AUDIO_PLAYTHROUGH_TUNER_H

#include <functional>
#include <memory>
#include <string>

#include "audio/audio_sink.h"
#include "audio/capture_loop.h"
#include "tuner_backend.h"

namespace halvane::driver::audio {

struct PlaythroughOptions {
  // An ALSA capture device name, or "auto": the sound card of `radio_device`.
  std::string capture = "auto";
  std::string radioDevice = "/dev/radio0";
  std::string sysfs = "/sys";
  // Whether the tuner mutes its own sound (a mute control); the loop mutes where it does not.
  std::function<bool()> tunerMutes = [] { return false; };
  // Where the sound goes; the desktop's sound server unless a test says otherwise.
  std::function<std::shared_ptr<AudioSink>()> openSink = [] {
    return std::shared_ptr<AudioSink>(OpenAudioOutput());
  };
};

class PlaythroughTuner final : public TunerBackend {
 public:
  PlaythroughTuner(std::unique_ptr<TunerBackend> tuner, PlaythroughOptions options);
  ~PlaythroughTuner() override;

  int32_t Initialize() override;
  int32_t Uninitialize() override;
  int32_t SetMute(bool mute) override;
  int32_t SetForceMono(bool mono) override;
  void SetVolume(float gain) override { loop_.stage().SetVolume(gain); }
  int32_t SetFrequency(int32_t frequency) override;
  int32_t SetTraffic(bool on) override {
    TunerBackend::SetTraffic(on);
    return tuner_->SetTraffic(on);
  }
  bool TrafficAway() const override { return tuner_->TrafficAway(); }
  int32_t GetFrequency(int32_t& frequency) override { return tuner_->GetFrequency(frequency); }
  int32_t Search(int32_t& frequency, bool up) override { return tuner_->Search(frequency, up); }
  int32_t StartRds() override { return tuner_->StartRds(); }
  int32_t StopRds() override { return tuner_->StopRds(); }
  int32_t GetState(uint8_t& flags) override { return tuner_->GetState(flags); }
  int32_t GetDecoderState(uint32_t& state) override { return tuner_->GetDecoderState(state); }
  int32_t EvalData(RdsRecord& record) override;
  int32_t ExtendedRds(std::string& report) override;

  bool playing() const { return loop_.running(); }

 private:
  // Starts the sound; without it the radio runs silently and the last reason says why.
  void StartSound();
  void SetTitle(const std::string& title);

  std::unique_ptr<TunerBackend> tuner_;
  PlaythroughOptions options_;
  CaptureLoop loop_;
  std::shared_ptr<AudioSink> sink_;
};

// The title a station goes by before its RDS name is known: "FM 95.80 MHz", "AM 1008 kHz".
std::string FrequencyTitle(int32_t frequency);
// An RDS name (Windows-1252 bytes, blank-padded) as UTF-8 without the padding.
std::string StationNameTitle(const uint8_t (&ps)[9]);

}  // namespace halvane::driver::audio

#endif
