// An AM broadcast transmitter and the path to the receiver: the programme (the station's own, or
// a tone) on the carrier at a chosen depth, neighbours on the raster beside it, noise
// for a chosen carrier-to-noise ratio, impulse noise (ignition, motors) and selective fading by a
// sky wave that arrives late and turns against the ground wave. Used by the synthetic source,
// tests and benchmarks.
#ifndef HALVANE_DRIVER_SDR_SOURCES_AM_TRANSMITTER_H
#define HALVANE_DRIVER_SDR_SOURCES_AM_TRANSMITTER_H

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "sdr/am_broadcast.h"
#include "sdr/sources/programme_feed.h"
#include "sdr/sources/transmitter.h"

namespace halvane::driver::sdr {

// Another AM station beside the wanted one.
struct AmNeighbour {
  double offsetHz = 9'000;  // its carrier from the wanted carrier
  double relativeDb = 0;    // its carrier's power over the wanted carrier's
  Tone tone;
  double depth = 1.0;
};

// The sky wave: the same signal `delayS` later at `ratio` of the ground wave's amplitude, its
// phase against the ground wave turning `turnsPerSecond` times a second. With a delay of half
// a tone's period the carrier and the tone's sidebands fade in turn, the case that breaks an
// envelope detector.
struct SkyWave {
  double delayS = 0.0005;
  double ratio = 0.9;
  double turnsPerSecond = 0.25;
};

struct AmTransmitterOptions {
  Tone tone;  // level 1.0 is full scale
  // The station's programme (music, speech) in the tone's place, in mono, held by the broadcast
  // limiter to full scale. A feed outlives the transmitter, as on FM.
  std::shared_ptr<ProgrammeFeed> programme{};
  double depth = 1.0;  // modulation depth at full scale: a tone of level 0.5 modulates 50 %
  std::vector<AmNeighbour> neighbours;
  double sampleRate = 1'024'000;
  double carrierOffsetHz = 0;   // the carrier's distance from the receiver's centre
  std::optional<double> cnrDb;  // in `noiseBandwidthHz`; none: no noise
  double noiseBandwidthHz = kAmNoiseBandwidthHz;
  float amplitude = 1.0f;  // of the carrier
  double clicksPerSecond = 0;
  double clickDb = 40;   // a click's amplitude over the carrier's
  double clickS = 4e-6;  // its length
  std::optional<SkyWave> skyWave;
  uint64_t seed = 1;
};

class AmTransmitter {
 public:
  explicit AmTransmitter(AmTransmitterOptions options);

  // The next samples as the receiver takes them.
  void Generate(std::span<Complex> out);
  // The same without this transmitter's noise, added to what `out` holds.
  void Add(std::span<Complex> out);
  void SetAmplitude(float amplitude) { options_.amplitude = amplitude; }

 private:
  // The modulated carrier at `t` seconds, before the path.
  Complex Signal(double t) const;
  // The same from the programme fed in at `t`, the next instant after the last; the sky wave's
  // from the envelopes kept since.
  Complex Fed(double t);
  Complex FedSkyWave(double t) const;
  void AddCarrier(std::span<Complex> out);

  AmTransmitterOptions options_;
  std::vector<AmTransmitter> neighbours_;  // carriers only
  NoiseSource noise_;
  NoiseSource clickNoise_;
  double stepS_;
  double t_ = 0;
  double nextClickS_ = 0;
  double clickEndS_ = -1;
  float clickAmplitude_;
  std::optional<double> feedOffsetS_;  // from this transmitter's time to the feed's
  std::vector<float> envelopes_;       // the fed envelopes over the sky wave's delay, a ring
  size_t envelopeAt_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
