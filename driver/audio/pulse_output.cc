#include "audio/pulse_output.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace halvane::driver::audio {
namespace {

constexpr size_t kFrameBytes = kChannels * sizeof(float);
constexpr size_t FramesOfMs(int ms) { return static_cast<size_t>(kSampleRate) * ms / 1000; }

// The writer comes every 100 ms (the plug-in's status poll brings the sound), and its first
// write may hold only a few milliseconds. The server holds 50 ms; our queue waits its reserve
// after the writer's first frames, so that reserve and server together outlast one writing
// interval and 50 ms of lateness from the very first write: no gap right after the first sound,
// and a steady writer is heard about 150 ms after it wrote. A writer that keeps coming later
// makes the reserve grow, to 200 ms at most; the queue never holds more than 400 ms.
constexpr int kWriteIntervalMs = 100;
constexpr int kServerMs = 50;
constexpr int kLatenessMs = 50;
constexpr size_t kServerFrames = FramesOfMs(kServerMs);
constexpr size_t kRequestFrames = FramesOfMs(10);
constexpr size_t kReserveFrames = FramesOfMs(kWriteIntervalMs + kLatenessMs - kServerMs);
constexpr size_t kMaxReserveFrames = FramesOfMs(200);
constexpr size_t kQueueFrames = FramesOfMs(400);
// A local server answers at once; one that does not within this long is taken as absent.
constexpr pa_usec_t kConnectTimeout = 2 * PA_USEC_PER_SEC;
// How long after losing the server a new connection is tried, and between tries.
constexpr pa_usec_t kRetryAfter = PA_USEC_PER_SEC;

constexpr const char* kDefaultTitle = "Radio";

}  // namespace

PulseOutput::PulseOutput()
    : buffer_(kQueueFrames, kReserveFrames, kMaxReserveFrames), title_(kDefaultTitle) {}

std::unique_ptr<PulseOutput> PulseOutput::Open(std::string& reason) {
  std::unique_ptr<PulseOutput> output(new PulseOutput());
  if (!output->Connect(reason)) return nullptr;
  return output;
}

template <typename Done>
bool PulseOutput::WaitFor(Done done) {
  while (!done()) {
    if (timedOut_) return false;
    pa_threaded_mainloop_wait(loop_);
  }
  return true;
}

bool PulseOutput::NewContext() {
  pa_proplist* properties = pa_proplist_new();
  pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Halvane radio");
  pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "audio-radio");
  pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "music");
  context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Halvane radio",
                                          properties);
  pa_proplist_free(properties);
  if (context_ == nullptr) return false;
  pa_context_set_state_callback(context_, &OnStateChange, this);
  return pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
}

bool PulseOutput::NewStream() {
  const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, kSampleRate, kChannels};
  stream_ = pa_stream_new(context_, title_.c_str(), &spec, nullptr);
  if (stream_ == nullptr) return false;
  pa_stream_set_state_callback(stream_, &OnStreamState, this);
  pa_stream_set_write_callback(stream_, &OnWritable, this);
  pa_stream_set_underflow_callback(stream_, &OnUnderflow, this);
  pa_buffer_attr attributes;
  attributes.maxlength = static_cast<uint32_t>(-1);
  attributes.tlength = kServerFrames * kFrameBytes;
  attributes.prebuf = static_cast<uint32_t>(-1);
  attributes.minreq = kRequestFrames * kFrameBytes;
  attributes.fragsize = static_cast<uint32_t>(-1);
  const auto flags = static_cast<pa_stream_flags_t>(
      PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_INTERPOLATE_TIMING);
  return pa_stream_connect_playback(stream_, nullptr, &attributes, flags, nullptr, nullptr) >= 0;
}

void PulseOutput::DropConnection() {
  if (stream_ != nullptr) {
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
  }
  if (context_ != nullptr) {
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
}

bool PulseOutput::Connect(std::string& reason) {
  loop_ = pa_threaded_mainloop_new();
  if (loop_ == nullptr) {
    reason = "cannot start the sound client";
    return false;
  }
  pa_threaded_mainloop_lock(loop_);
  bool ok = pa_threaded_mainloop_start(loop_) >= 0 && NewContext();
  if (ok) {
    deadline_ = pa_context_rttime_new(
        context_, pa_rtclock_now() + kConnectTimeout,
        [](pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self) {
          auto* output = static_cast<PulseOutput*>(self);
          output->timedOut_ = true;
          output->deadline_ = nullptr;
          api->time_free(event);
          pa_threaded_mainloop_signal(output->loop_, 0);
        },
        this);
    ok = WaitFor([&] {
      const pa_context_state_t state = pa_context_get_state(context_);
      return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    });
    ok = ok && pa_context_get_state(context_) == PA_CONTEXT_READY;
  }
  ok = ok && NewStream() && WaitFor([&] {
         const pa_stream_state_t state = pa_stream_get_state(stream_);
         return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
       }) &&
       pa_stream_get_state(stream_) == PA_STREAM_READY;
  if (deadline_ != nullptr) {
    pa_threaded_mainloop_get_api(loop_)->time_free(deadline_);
    deadline_ = nullptr;
  }
  if (!ok) {
    const int error = context_ != nullptr ? pa_context_errno(context_) : 0;
    reason = context_ == nullptr ? "cannot start the sound client"
             : timedOut_         ? "the sound server did not answer"
                                 : std::string("no sound server to play on (") +
                               (error != 0 ? pa_strerror(error) : "not ready") + ")";
  }
  playing_ = ok;
  pa_threaded_mainloop_unlock(loop_);
  return ok;
}

// The server went away (it was restarted, or the user's session replaced it): the queue goes on
// taking what the radio writes, and a new connection is tried every second until one plays.
void PulseOutput::RetrySoon() {
  if (retry_ != nullptr) return;
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  timeval when{};
  pa_timeval_add(pa_gettimeofday(&when), kRetryAfter);
  retry_ = api->time_new(
      api, &when,
      [](pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        api->time_free(event);
        output->retry_ = nullptr;
        output->DropConnection();
        if (!output->NewContext()) output->RetrySoon();
      },
      this);
}

PulseOutput::~PulseOutput() {
  if (loop_ == nullptr) return;
  pa_threaded_mainloop_lock(loop_);
  if (retry_ != nullptr) pa_threaded_mainloop_get_api(loop_)->time_free(retry_);
  retry_ = nullptr;
  DropConnection();
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

void PulseOutput::OnStateChange(pa_context* context, void* self) {
  auto* output = static_cast<PulseOutput*>(self);
  pa_threaded_mainloop_signal(output->loop_, 0);
  if (!output->playing_) return;  // still connecting: Connect watches
  const pa_context_state_t state = pa_context_get_state(context);
  // A context gone bad, or ready but without a stream, is tried again.
  if (!PA_CONTEXT_IS_GOOD(state) || (state == PA_CONTEXT_READY && !output->NewStream()))
    output->RetrySoon();
}

void PulseOutput::OnStreamState(pa_stream* stream, void* self) {
  auto* output = static_cast<PulseOutput*>(self);
  pa_threaded_mainloop_signal(output->loop_, 0);
  if (output->playing_ && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) output->RetrySoon();
}

// The server's thread asks for more: it always gets the whole request, silence where the queue
// has nothing, so the server itself never runs dry and restarts with a click.
void PulseOutput::OnWritable(pa_stream* stream, size_t bytes, void* self) {
  auto* output = static_cast<PulseOutput*>(self);
  while (bytes >= kFrameBytes) {
    void* data = nullptr;
    size_t size = bytes - bytes % kFrameBytes;
    if (pa_stream_begin_write(stream, &data, &size) < 0 || data == nullptr) return;
    size -= size % kFrameBytes;
    if (size == 0) {
      pa_stream_cancel_write(stream);
      return;
    }
    output->buffer_.Pull(std::span<float>(static_cast<float*>(data), size / sizeof(float)));
    if (pa_stream_write(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
    bytes -= std::min(bytes, size);
  }
}

namespace {
std::atomic<size_t> allServerUnderflows{0};
}  // namespace

void PulseOutput::OnUnderflow(pa_stream* /*stream*/, void* self) {
  ++static_cast<PulseOutput*>(self)->serverUnderflows_;
  ++allServerUnderflows;
}

size_t PulseOutput::AllServerUnderflows() { return allServerUnderflows; }

void PulseOutput::Write(std::span<const float> interleaved) { buffer_.Push(interleaved); }

void PulseOutput::SetTitle(std::string_view title) {
  if (title.empty()) return;
  pa_threaded_mainloop_lock(loop_);  // a new stream after a reconnection takes title_ too
  const bool changed = title != title_;
  title_ = title;
  if (changed && stream_ != nullptr && pa_stream_get_state(stream_) == PA_STREAM_READY) {
    pa_operation* operation = pa_stream_set_name(stream_, title_.c_str(), nullptr, nullptr);
    if (operation != nullptr) pa_operation_unref(operation);
  }
  pa_threaded_mainloop_unlock(loop_);
}

}  // namespace halvane::driver::audio
