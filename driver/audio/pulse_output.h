// The programme played through the desktop's sound server by its PulseAudio client interface
// (which PipeWire serves as well): one playback stream, 48 kHz stereo float, about 100 ms from
// Write to the speakers. libpulse runs on a thread of its own; Write only queues. A server that
// goes away is connected to again once it is back.
#ifndef HALVANE_DRIVER_AUDIO_PULSE_OUTPUT_H
#define HALVANE_DRIVER_AUDIO_PULSE_OUTPUT_H

#include <atomic>
#include <memory>
#include <string>

#include "audio/audio_sink.h"
#include "audio/playback_buffer.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_time_event;

namespace halvane::driver::audio {

class PulseOutput final : public AudioSink {
 public:
  // Connects to the server the environment names (PULSE_SERVER, the user's runtime folder, its
  // client.conf) without starting one. Null with `reason` set when there is none to play on.
  static std::unique_ptr<PulseOutput> Open(std::string& reason);
  ~PulseOutput() override;

  void Write(std::span<const float> interleaved) override;
  void SetTitle(std::string_view title) override;
  void Hush() override { buffer_.Hush(); }

  PlaybackBuffer::Counts counts() const { return buffer_.counts(); }
  // How often the server found the stream empty since it was opened: its thread went without our
  // writes for longer than the server holds (a starved process), and it played silence meanwhile.
  size_t serverUnderflows() const { return serverUnderflows_; }
  // The same, summed over every output this process opened: for whoever holds none of them.
  static size_t AllServerUnderflows();

 private:
  PulseOutput();
  bool Connect(std::string& reason);
  // With the main loop locked: a new context, connecting; a new stream on the ready context,
  // connecting; both dropped. False when libpulse refused at once.
  bool NewContext();
  bool NewStream();
  void DropConnection();
  // Drops the connection and connects anew a second from now (once, however often asked).
  void RetrySoon();
  // Waits, with the main loop locked, until `done` holds or the server has had long enough.
  template <typename Done>
  bool WaitFor(Done done);
  static void OnStateChange(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnWritable(pa_stream* stream, size_t bytes, void* self);
  static void OnUnderflow(pa_stream* stream, void* self);

  PlaybackBuffer buffer_;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* deadline_ = nullptr;  // while connecting
  bool timedOut_ = false;
  bool playing_ = false;            // connected once: a loss from now on is retried
  pa_time_event* retry_ = nullptr;  // while a new connection waits to be tried
  std::string title_;
  std::atomic<size_t> serverUnderflows_{0};
};

}  // namespace halvane::driver::audio

#endif
