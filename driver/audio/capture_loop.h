// Plays a tuner's sound that arrives as an ALSA capture device (a USB FM receiver is also a USB
// sound card) by copying it to a sink while the tuner runs, through the programme stage so mute
// and forced mono act on it. On Linux the radio program has to do this itself: nothing else
// connects the receiver's capture device to the speakers.
#ifndef HALVANE_DRIVER_AUDIO_CAPTURE_LOOP_H
#define HALVANE_DRIVER_AUDIO_CAPTURE_LOOP_H

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "audio/audio_sink.h"
#include "audio/programme_stage.h"

namespace halvane::driver::audio {

class CaptureLoop {
 public:
  CaptureLoop() = default;
  ~CaptureLoop() { Stop(); }
  CaptureLoop(const CaptureLoop&) = delete;
  CaptureLoop& operator=(const CaptureLoop&) = delete;

  // Opens the ALSA capture device by name ("hw:" names are opened through the "plughw:"
  // converter so any rate and sample format the device has will do) and starts copying to
  // `sink`, which the loop keeps until Stop. False with `reason` set when the device cannot be
  // opened or set up; nothing runs then.
  bool Start(const std::string& device, std::shared_ptr<AudioSink> sink, std::string& reason);
  // Returns once the copying thread has ended. Harmless when nothing runs.
  void Stop();
  bool running() const { return thread_.joinable(); }

  ProgrammeStage& stage() { return stage_; }
  // Frames copied so far; the loop stops by itself when the device goes away.
  size_t frames() const { return frames_.load(std::memory_order_relaxed); }

 private:
  void Run(void* handle);

  ProgrammeStage stage_;
  std::shared_ptr<AudioSink> sink_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> frames_{0};
};

}  // namespace halvane::driver::audio

#endif
