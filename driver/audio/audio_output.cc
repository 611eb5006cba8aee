#include "audio/audio_sink.h"

namespace halvane::driver::audio {

// No sound server is spoken to yet: every backend plays silently.
std::unique_ptr<AudioSink> OpenAudioOutput() { return std::make_unique<NullAudioSink>(); }

}  // namespace halvane::driver::audio
