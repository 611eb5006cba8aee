#include "audio/playthrough_tuner.h"

#include <cstdio>
#include <optional>

#include "audio/capture_device.h"
#include "frequency.h"
#include "halvane/encodings.h"
#include "last_reason.h"
#include "rds/charset.h"

namespace halvane::driver::audio {

std::string FrequencyTitle(int32_t frequency) {
  char text[32];
  const Frequency value(frequency);
  if (value.IsAm()) {
    std::snprintf(text, sizeof text, "AM %d kHz", static_cast<int>(value.Hertz() / 1000));
  } else {
    std::snprintf(text, sizeof text, "FM %.2f MHz", static_cast<double>(value.Hertz()) / 1e6);
  }
  return text;
}

std::string StationNameTitle(const uint8_t (&ps)[9]) {
  size_t end = 8;
  while (end > 0 && (ps[end - 1] == ' ' || ps[end - 1] == '\0')) --end;
  size_t begin = 0;
  while (begin < end && ps[begin] == ' ') ++begin;
  std::string title;
  for (size_t i = begin; i < end; ++i) {
    // One byte at a time: each is a Windows-1252 character of its own.
    const char byte = static_cast<char>(ps[i]);
    const std::u32string decoded = rds::DecodeText(std::string_view(&byte, 1));
    AppendUtf8(title, decoded.empty() || decoded[0] < 0x20 ? U' ' : decoded[0]);
  }
  return title;
}

PlaythroughTuner::PlaythroughTuner(std::unique_ptr<TunerBackend> tuner, PlaythroughOptions options)
    : tuner_(std::move(tuner)), options_(std::move(options)) {}

PlaythroughTuner::~PlaythroughTuner() { loop_.Stop(); }

int32_t PlaythroughTuner::Initialize() {
  const int32_t result = tuner_->Initialize();
  if (result == 0 && !loop_.running()) StartSound();
  return result;
}

void PlaythroughTuner::StartSound() {
  std::optional<std::string> device = options_.capture;
  if (options_.capture == "auto") {
    device = FindCaptureDevice(options_.radioDevice, options_.sysfs);
    if (!device) {
      SetLastReason(options_.radioDevice +
                    " has no sound card of its own (audio = auto): the radio plays silently; "
                    "name its capture device in tuner.ini");
      return;
    }
  }
  sink_ = options_.openSink();
  // Without a sound server the output has said why already; the device stays free for others.
  if (dynamic_cast<NullAudioSink*>(sink_.get()) != nullptr) return;
  std::string reason;
  if (!loop_.Start(*device, sink_, reason)) SetLastReason(reason + ": the radio plays silently");
}

int32_t PlaythroughTuner::Uninitialize() {
  loop_.Stop();
  sink_.reset();
  return tuner_->Uninitialize();
}

// The tuner mutes with its own control where it has one; without it, or when the control
// fails, the loop mutes its copy. Either way what is queued but not yet heard fades out at once.
int32_t PlaythroughTuner::SetMute(bool mute) {
  const int32_t result = tuner_->SetMute(mute);
  loop_.stage().SetMute(mute && (result != 0 || !options_.tunerMutes()), mute);
  return result;
}

int32_t PlaythroughTuner::SetForceMono(bool mono) {
  loop_.stage().SetMono(mono);
  return tuner_->SetForceMono(mono);
}

int32_t PlaythroughTuner::SetFrequency(int32_t frequency) {
  const int32_t result = tuner_->SetFrequency(frequency);
  if (result == 0) SetTitle(FrequencyTitle(frequency));
  return result;
}

int32_t PlaythroughTuner::ExtendedRds(std::string& report) { return tuner_->ExtendedRds(report); }

int32_t PlaythroughTuner::EvalData(RdsRecord& record) {
  const int32_t result = tuner_->EvalData(record);
  if (result == 0) {
    const std::string name = StationNameTitle(record.ps);
    if (!name.empty()) SetTitle(name);
  }
  return result;
}

void PlaythroughTuner::SetTitle(const std::string& title) {
  if (sink_ != nullptr) sink_->SetTitle(title);
}

}  // namespace halvane::driver::audio
