// What the reception stages act on, measured on every piece of the channel as the discriminator
// is about to see it (at the multiplex rate, after the equaliser): the carrier-to-noise ratio,
// which counts whatever spoils the carrier's constant envelope (noise, an echo the equaliser has
// not taken out, a neighbour's edge). The echo itself is told by the equaliser's taps.
#ifndef HALVANE_DRIVER_SDR_DSP_QUALITY_METER_H
#define HALVANE_DRIVER_SDR_DSP_QUALITY_METER_H

#include <optional>
#include <span>

#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

// A piece's figures. `cnrDb` in 200 kHz, none for a piece too short to tell; `multipathDb` the
// echo the equaliser is undoing, against the direct wave (none while it is off or finds none).
// `carrier`: the piece holds a carrier at all (its envelope swings less than noise alone does,
// or did so within the last few milliseconds, and its power has not fallen away).
struct PieceQuality {
  std::optional<double> cnrDb;
  std::optional<double> multipathDb;
  bool carrier = false;
  bool crowded = false;  // a strong neighbour: the equaliser holds its taps
  // The carrier-to-noise from the noise beside the channel (the span's power outside it): no
  // echo moves it; a neighbour, counted as noise, lowers it.
  std::optional<double> spanCnrDb;
  bool equalised = false;  // the discriminator takes the equaliser's output
};

// The envelope's moments over a piece: E|x|^2 and E|x|^4.
struct EnvelopeMoments {
  double m2 = 0;
  double m4 = 0;
  size_t count = 0;

  void Add(std::span<const Complex> samples);
  // A constant-envelope carrier C in complex noise N: E|x|^2 = C + N, E|x|^4 = C^2 + 4CN + 2N^2.
  // The carrier over the noise, linear, in the band the samples were filtered to; none when
  // the moments say nothing (no samples, or no carrier at all).
  std::optional<double> CarrierToNoise() const;
  // The envelope's power swing, E|x|^4 / (E|x|^2)^2 - 1: 0 for a clean carrier.
  double Swing() const;
};

class QualityMeter {
 public:
  // `noiseBandwidthHz`: the channel filter's, so that ratios are stated in 200 kHz.
  explicit QualityMeter(double noiseBandwidthHz);

  // The carrier-to-noise of a piece of output with these moments, in 200 kHz; none for a piece
  // too short to tell.
  std::optional<double> CarrierToNoiseDb(const EnvelopeMoments& moments) const;

 private:
  double referenceDb_;
};

}  // namespace halvane::driver::sdr

#endif
