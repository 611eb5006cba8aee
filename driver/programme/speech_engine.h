// Speech from eSpeak NG: one voice for the whole process (the library keeps one), so every
// utterance is spoken under a lock, whole, and handed back at the programme's rate.
#ifndef HALVANE_DRIVER_PROGRAMME_SPEECH_ENGINE_H
#define HALVANE_DRIVER_PROGRAMME_SPEECH_ENGINE_H

#include <string_view>
#include <vector>

namespace halvane::driver::programme {

// The voices a station may speak with; a station keeps one.
inline constexpr int kVoices = 6;

// `text` (UTF-8) spoken by voice `voice` (0 to kVoices - 1), mono at 48 kHz, peaking near 0.7.
// Empty when eSpeak NG or its data is missing; the driver's last reason then says so.
std::vector<float> Speak(std::string_view text, int voice);

}  // namespace halvane::driver::programme

#endif
