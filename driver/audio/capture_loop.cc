#include "audio/capture_loop.h"

#include <alsa/asoundlib.h>

#include <vector>

namespace halvane::driver::audio {
namespace {

// The device's buffer: long enough to ride out a busy moment, short enough not to add much to
// the sound's way to the speakers.
constexpr unsigned kCaptureLatencyUs = 100000;
// How long one wait for frames lasts before the stop flag is looked at again.
constexpr int kWaitMs = 50;
constexpr snd_pcm_uframes_t kChunkFrames = kSampleRate / 100;

// The name ALSA opens for `device`: "hw:..." becomes "plughw:...", anything else stays.
std::string CaptureDeviceName(const std::string& device) {
  if (device.rfind("hw:", 0) == 0) return "plug" + device;
  return device;
}

}  // namespace

bool CaptureLoop::Start(const std::string& device, std::shared_ptr<AudioSink> sink,
                        std::string& reason) {
  Stop();
  const std::string name = CaptureDeviceName(device);
  snd_pcm_t* pcm = nullptr;
  // Not blocking: a device another program holds fails here at once rather than waiting.
  int error = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
  if (error >= 0) {
    error = snd_pcm_set_params(pcm, SND_PCM_FORMAT_FLOAT_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                               kChannels, kSampleRate, 1, kCaptureLatencyUs);
  }
  if (error >= 0) error = snd_pcm_start(pcm);
  if (error < 0) {
    reason = "capture device " + name + ": " + snd_strerror(error);
    if (pcm != nullptr) snd_pcm_close(pcm);
    return false;
  }
  sink_ = std::move(sink);
  stage_.Reset();
  stop_ = false;
  frames_ = 0;
  thread_ = std::thread([this, pcm] { Run(pcm); });
  return true;
}

void CaptureLoop::Stop() {
  if (!thread_.joinable()) return;
  stop_ = true;
  thread_.join();
  sink_.reset();
}

void CaptureLoop::Run(void* handle) {
  auto* pcm = static_cast<snd_pcm_t*>(handle);
  std::vector<float> chunk(kChunkFrames * kChannels);
  while (!stop_.load(std::memory_order_relaxed)) {
    const int ready = snd_pcm_wait(pcm, kWaitMs);
    if (ready == 0) continue;  // nothing yet: look at the stop flag again
    snd_pcm_sframes_t got = ready < 0 ? ready : snd_pcm_readi(pcm, chunk.data(), kChunkFrames);
    if (got == -EAGAIN) continue;
    if (got < 0) {
      // An overrun (-EPIPE) or a suspend costs a gap; a device that went away ends the loop.
      if (snd_pcm_recover(pcm, static_cast<int>(got), 1) < 0) break;
      if (snd_pcm_start(pcm) < 0 && snd_pcm_state(pcm) != SND_PCM_STATE_RUNNING) break;
      continue;
    }
    const std::span<float> frames(chunk.data(), static_cast<size_t>(got) * kChannels);
    stage_.Play(frames, *sink_);
    frames_.fetch_add(static_cast<size_t>(got), std::memory_order_relaxed);
  }
  snd_pcm_close(pcm);
}

}  // namespace halvane::driver::audio
