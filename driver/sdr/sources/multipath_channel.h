// The way from a transmitter to a car in a city: the direct wave and echoes off buildings and
// hills, each later by its delay, weaker by its level and turning against the direct wave at its
// Doppler frequency as the car moves (a car at 50 km/h meets echoes from ahead and behind
// turning at up to 15 Hz at 100 MHz). Applied to one station's carrier at the receiver's rate.
#ifndef HALVANE_DRIVER_SDR_SOURCES_MULTIPATH_CHANNEL_H
#define HALVANE_DRIVER_SDR_SOURCES_MULTIPATH_CHANNEL_H

#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

struct Echo {
  double delayUs = 5;
  double relativeDb = -6;  // against the direct wave
  double dopplerHz = 0;    // how fast it turns against the direct wave; 0: still
};

class MultipathChannel {
 public:
  MultipathChannel(const std::vector<Echo>& echoes, double sampleRate);

  bool empty() const { return echoes_.empty(); }

  // Adds the echoes of `signal` to it in place (the direct wave stays as it is).
  void Apply(std::span<Complex> signal);

 private:
  struct Path {
    double delaySamples;
    float gain;
    double turnsPerSample;
    double phase = 0;  // in turns
  };

  std::vector<Path> echoes_;
  size_t reach_ = 0;              // the longest delay, in whole samples, and the interpolator's
  std::vector<Complex> history_;  // the direct wave's last samples, then the new ones
};

}  // namespace halvane::driver::sdr

#endif
