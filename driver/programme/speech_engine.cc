#include "programme/speech_engine.h"

#include <espeak-ng/speak_lib.h>

// <complex> first, so liquid's complex type is std::complex<float>.
// clang-format off
#include <complex>
#include <liquid/liquid.h>
// clang-format on

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <string>

#include "last_reason.h"
#include "programme/programme.h"

namespace halvane::driver::programme {
namespace {

// eSpeak NG speaks at 22 050 Hz; 48 000 / 22 050 = 320 / 147.
constexpr unsigned kUp = 320;
constexpr unsigned kDown = 147;
constexpr int kSpeechRate = 22050;
static_assert(kRate * kDown == kSpeechRate * kUp);
constexpr float kPeak = 0.7f;

struct Voice {
  const char* name;
  int wordsPerMinute;
  int pitch;  // 0 to 100, 50 the voice's own
};
constexpr std::array<Voice, kVoices> kVoiceTable{{{"en+m3", 165, 45},
                                                  {"en+f3", 170, 55},
                                                  {"en-us+m1", 160, 40},
                                                  {"en+f2", 165, 60},
                                                  {"en-gb-x-rp+m5", 155, 48},
                                                  {"en-us+f4", 175, 52}}};

std::mutex engineLock;
bool engineTried = false;
bool engineReady = false;

int Collect(short* samples, int count, espeak_EVENT* events) {
  auto* out = static_cast<std::vector<short>*>(events->user_data);
  if (samples != nullptr && out != nullptr) out->insert(out->end(), samples, samples + count);
  return 0;  // go on
}

bool Ready() {
  if (!engineTried) {
    engineTried = true;
    // Without its data eSpeak NG would end the process; told not to, it fails instead.
    const int rate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    engineReady = rate == kSpeechRate;
    if (engineReady) {
      espeak_SetSynthCallback(Collect);
    } else {
      SetLastReason("eSpeak NG or its data (espeak-ng-data) is missing: speech plays silently");
    }
  }
  return engineReady;
}

std::vector<float> To48k(const std::vector<short>& speech) {
  const std::unique_ptr<rresamp_rrrf_s, decltype(&rresamp_rrrf_destroy)> resampler(
      rresamp_rrrf_create_default(kUp, kDown), rresamp_rrrf_destroy);
  std::vector<float> in(kDown);
  std::vector<float> out;
  out.reserve(speech.size() * kUp / kDown + kUp);
  std::array<float, kUp> block{};
  for (size_t at = 0; at < speech.size(); at += kDown) {
    for (size_t i = 0; i < kDown; ++i) {
      in[i] = at + i < speech.size() ? static_cast<float>(speech[at + i]) / 32768.0f : 0.0f;
    }
    rresamp_rrrf_execute(resampler.get(), in.data(), block.data());
    out.insert(out.end(), block.begin(), block.end());
  }
  float peak = 0;
  for (const float sample : out) peak = std::max(peak, std::fabs(sample));
  if (peak > 0) {
    for (float& sample : out) sample *= kPeak / peak;
  }
  return out;
}

}  // namespace

std::vector<float> Speak(std::string_view text, int voice) {
  std::vector<short> speech;
  {
    const std::lock_guard<std::mutex> hold(engineLock);
    if (!Ready()) return {};
    const Voice& chosen = kVoiceTable[static_cast<size_t>(std::clamp(voice, 0, kVoices - 1))];
    espeak_SetVoiceByName(chosen.name);
    espeak_SetParameter(espeakRATE, chosen.wordsPerMinute, 0);
    espeak_SetParameter(espeakPITCH, chosen.pitch, 0);
    const std::string terminated(text);
    espeak_Synth(terminated.c_str(), terminated.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, &speech);
  }
  return To48k(speech);
}

}  // namespace halvane::driver::programme
