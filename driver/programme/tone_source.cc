#include "programme/tone_source.h"

#include <cmath>
#include <numbers>

namespace halvane::driver::programme {

void ToneSource::Render(std::span<float> interleaved) {
  const double step = tone_.hz / kRate;
  for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
    // The phase from the frame count, reduced to one cycle, so hours of tone lose nothing.
    const double cycles = static_cast<double>(frame_++) * step;
    const auto value = static_cast<float>(
        tone_.level * std::sin(2 * std::numbers::pi * (cycles - std::floor(cycles))));
    interleaved[i] = tone_.left ? value : 0.0f;
    interleaved[i + 1] = tone_.right ? value : 0.0f;
  }
}

}  // namespace halvane::driver::programme
