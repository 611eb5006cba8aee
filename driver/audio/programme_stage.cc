#include "audio/programme_stage.h"

namespace halvane::driver::audio {
namespace {

constexpr float kStep = 1.0f / kRampFrames;

// One frame's move of a ramp towards its target, landing on it exactly.
float Approach(float value, float target) {
  if (value < target) return value + kStep >= target ? target : value + kStep;
  if (value > target) return value - kStep <= target ? target : value - kStep;
  return value;
}

}  // namespace

void ProgrammeStage::Play(std::span<float> interleaved, AudioSink& sink) {
  // On the writer's thread, so everything written before the mute is in the sink to be hushed.
  if (hush_.exchange(false, std::memory_order_acquire)) {
    sink.Hush();
    Reset();
  }
  Process(interleaved);
  sink.Write(interleaved);
}

void ProgrammeStage::Process(std::span<float> interleaved) {
  const float gainTarget =
      mute_.load(std::memory_order_relaxed) ? 0.0f : volume_.load(std::memory_order_relaxed);
  const float mixTarget = mono_.load(std::memory_order_relaxed) ? 1.0f : 0.0f;
  if (snap_.exchange(false, std::memory_order_acquire)) {
    gain_ = gainTarget;
    mix_ = mixTarget;
  }
  for (size_t i = 0; i + 1 < interleaved.size(); i += kChannels) {
    gain_ = Approach(gain_, gainTarget);
    mix_ = Approach(mix_, mixTarget);
    const float left = interleaved[i];
    const float right = interleaved[i + 1];
    // At mix 1 both channels carry (L + R) / 2; in between, each leans towards the other.
    const float keep = 1.0f - mix_ / 2;
    const float cross = mix_ / 2;
    interleaved[i] = gain_ * (keep * left + cross * right);
    interleaved[i + 1] = gain_ * (keep * right + cross * left);
  }
}

}  // namespace halvane::driver::audio
