// The test tone: a sine on the left, the right or both channels, for measurements.
#ifndef HALVANE_DRIVER_PROGRAMME_TONE_SOURCE_H
#define HALVANE_DRIVER_PROGRAMME_TONE_SOURCE_H

#include <cstdint>

#include "programme/programme.h"
#include "programme/source.h"

namespace halvane::driver::programme {

class ToneSource final : public Source {
 public:
  explicit ToneSource(const Tone& tone) : tone_(tone) {}
  void Render(std::span<float> interleaved) override;

 private:
  Tone tone_;
  uint64_t frame_ = 0;
};

}  // namespace halvane::driver::programme

#endif
