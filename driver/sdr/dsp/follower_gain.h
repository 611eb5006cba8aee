// A gain that follows its target at two speeds, one each way: the smoothing every reception
// stage shares (stereo blend, high cut, soft mute), advanced once per 48 kHz output frame.
#ifndef HALVANE_DRIVER_SDR_DSP_FOLLOWER_GAIN_H
#define HALVANE_DRIVER_SDR_DSP_FOLLOWER_GAIN_H

#include <cmath>

#include "audio/audio_sink.h"

namespace halvane::driver::sdr {

class FollowerGain {
 public:
  // `downMs`, `upMs`: the time constants while the value falls and while it rises.
  FollowerGain(double downMs, double upMs, float start)
      : down_(Coefficient(downMs)), up_(Coefficient(upMs)), value_(start), target_(start) {}

  void SetTarget(float target) { target_ = target; }
  // Jumps to `value` at once (a new station, or a stage switched off).
  void Jump(float value) { value_ = target_ = value; }

  float Next() {
    const float step = target_ - value_;
    value_ += (step < 0 ? down_ : up_) * step;
    return value_;
  }

  float value() const { return value_; }
  float target() const { return target_; }

 private:
  static float Coefficient(double ms) {
    return static_cast<float>(1 - std::exp(-1000.0 / (ms * audio::kSampleRate)));
  }

  float down_;
  float up_;
  float value_;
  float target_;
};

}  // namespace halvane::driver::sdr

#endif
