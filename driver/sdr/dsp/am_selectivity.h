// The AM receiver's audio bandwidth, chosen for the channel at kAmChannelRate: wide (6 kHz)
// while nothing stands beside the station, narrower (4 kHz, then 2.7 kHz) as a neighbour 9 or
// 10 kHz away (or the noise) grows against its carrier, so the neighbour's sidebands and its
// whistle stay out. The filters are symmetric (real taps, so the two sidebands alike) and of one
// length, so a change of bandwidth never moves the programme in time.
#ifndef HALVANE_DRIVER_SDR_DSP_AM_SELECTIVITY_H
#define HALVANE_DRIVER_SDR_DSP_AM_SELECTIVITY_H

#include <array>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

class AmSelectivity {
 public:
  static constexpr size_t kWide = 0;
  static constexpr size_t kNarrow = 2;

  AmSelectivity();

  // Forgets the past and starts narrow, as a search wants it: the neighbours out from the first
  // sample.
  void Reset();

  // Filters `channel` into `out` (same length) with the bandwidth in force, and measures what
  // lies beyond the wide passband.
  void Process(std::span<const Complex> channel, std::vector<Complex>& out);

  // Chooses the bandwidth from the power beyond the wide passband against `carrierPower`,
  // measured over the last pieces; called once a piece.
  void Decide(double carrierPower);

  size_t bandwidth() const { return chosen_; }
  double AudioHz() const;
  // The chosen filter's noise bandwidth at the channel rate, in hertz.
  double NoiseBandwidthHz() const { return noiseBandwidthHz_[chosen_]; }

 private:
  std::array<std::vector<float>, 3> taps_;  // paired, as DotComplexReal takes them
  std::array<double, 3> noiseBandwidthHz_{};
  size_t padded_;
  std::vector<Complex> history_;
  size_t chosen_ = kNarrow;
  double outside_ = 0;  // power beyond the wide passband, averaged
  double total_ = 0;
  double wide_ = 0;
  size_t counted_ = 0;
  double ratioDb_ = 0;  // smoothed: outside against the carrier
  bool measured_ = false;
};

}  // namespace halvane::driver::sdr

#endif
