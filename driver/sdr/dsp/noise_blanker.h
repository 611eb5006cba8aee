// Impulse noise (ignition, electric motors, switching) blanked before the channel is narrowed:
// at a rate of a few hundred kilohertz a click is a few samples far above the signal's average
// power, where after the narrow channel filter it would ring for a millisecond. The samples
// around it (the stages before have spread it both ways) are replaced by the last clean one:
// the channel is already mixed to the centre, so that sample is the carrier and the programme as
// they just were. The samples leave a short delay after they came, so the blanking can begin
// before the sample that gave the impulse away.
#ifndef HALVANE_DRIVER_SDR_DSP_NOISE_BLANKER_H
#define HALVANE_DRIVER_SDR_DSP_NOISE_BLANKER_H

#include <cstdint>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

class NoiseBlanker {
 public:
  // `rate`: the samples' rate; the average follows the signal over about 5 ms of them.
  explicit NoiseBlanker(double rate);

  void Reset();
  // Blanks the impulses of `samples` in place (delayed by Delay() samples).
  void Process(std::span<Complex> samples);

  size_t Delay() const { return delay_.size(); }
  // Samples blanked since the last reset.
  uint64_t Blanked() const { return blanked_; }

 private:
  float smoothing_;  // of the average power, per sample
  int guard_;        // samples blanked either side of one above the threshold
  int longest_;      // a run blanked this long is no impulse but a new level of the signal
  float average_ = 0;
  int holding_ = 0;  // delayed samples still to blank
  int run_ = 0;      // samples blanked in a row
  int warmup_ = 0;   // samples before the average is worth comparing with
  std::vector<Complex> delay_;
  size_t next_ = 0;  // the oldest delayed sample
  Complex last_;     // the last clean sample out
  uint64_t blanked_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
