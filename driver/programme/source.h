// One sound of a programme: the music, a voice reading, the test tone. A programme plays one
// source, and a traffic announcement's voice over it while the announcement runs.
#ifndef HALVANE_DRIVER_PROGRAMME_SOURCE_H
#define HALVANE_DRIVER_PROGRAMME_SOURCE_H

#include <span>

namespace halvane::driver::programme {

class Source {
 public:
  virtual ~Source() = default;
  // The next frames, 48 kHz interleaved stereo; overwrites `interleaved`.
  virtual void Render(std::span<float> interleaved) = 0;
};

}  // namespace halvane::driver::programme

#endif
