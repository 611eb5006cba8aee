// Synchronous AM detection at kAmChannelRate: a phase-locked loop holds a local carrier on the
// station's, and the programme is the channel's part in phase with it. Unlike an envelope
// detector this stays linear when selective fading takes the carrier down below its sidebands
// (the loop rides through the fades), and a neighbour or noise does not mix
// with the programme. While the loop has not locked (right after tuning, or once the carrier has
// been gone for half a second) the envelope is the programme; the change crossfades over 5 ms.
//
// The same loop measures the channel: the carrier is the in-phase mean, the noise the power in
// quadrature to it (a double-sideband programme has none there).
#ifndef HALVANE_DRIVER_SDR_DSP_AM_DETECTOR_H
#define HALVANE_DRIVER_SDR_DSP_AM_DETECTOR_H

#include <optional>
#include <span>
#include <vector>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

class AmDetector {
 public:
  AmDetector();

  void Reset();

  // Appends the programme of `channel` to `out`, levelled by the carrier: 1.0 is the carrier's
  // amplitude, so full modulation gives 1.0 (the carrier itself stays in as a constant 1.0).
  // The gain control follows the held carrier: down at once on a stronger one, up over a second
  // when it fades, so a fade of the carrier alone never lifts its sidebands or the noise.
  void Process(std::span<const Complex> channel, std::vector<float>& out);

  bool Locked() const { return locked_; }
  // The carrier's power, averaged over about 20 ms.
  double CarrierPower() const { return carrier_ * carrier_; }

  // The carrier's power and the noise's in quadrature to it (half the channel's noise), over the
  // last whole 50 ms window, or what has come of the first after the loop's first 10 ms; nothing
  // before 5 ms of that.
  struct Measure {
    double carrier;
    double quadrature;
  };
  std::optional<Measure> measure() const;

 private:
  void SetLoopBandwidth(double hz);

  double phase_ = 0;      // of the local carrier, in radians
  double frequency_ = 0;  // radians a sample
  double alpha_ = 0;
  double beta_ = 0;
  double carrier_ = 0;  // in-phase mean
  double magnitude_ = 0;
  double quadrature_ = 0;
  double held_ = 0;
  double slowCarrier_ = 0;  // in-phase mean over about 100 ms
  double slowQuadrature_ = 0;
  bool locked_ = false;
  size_t lockedFor_ = 0;  // samples the lock test has passed in a row
  size_t lostFor_ = 0;    // samples it has failed in a row while locked
  float blend_ = 0;       // 0 envelope, 1 synchronous
  size_t samples_ = 0;
  double windowInPhase_ = 0;
  double windowQuadrature_ = 0;
  size_t windowCount_ = 0;
  std::optional<Measure> published_;
};

}  // namespace halvane::driver::sdr

#endif
