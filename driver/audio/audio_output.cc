#include "audio/audio_sink.h"
#include "audio/pulse_output.h"
#include "last_reason.h"

namespace halvane::driver::audio {

std::unique_ptr<AudioSink> OpenAudioOutput() {
  std::string reason;
  if (std::unique_ptr<PulseOutput> pulse = PulseOutput::Open(reason)) return pulse;
  // The radio still tunes and shows its station; the host can say why nothing is heard.
  SetLastReason(reason + ": the radio plays silently");
  return std::make_unique<NullAudioSink>();
}

}  // namespace halvane::driver::audio
