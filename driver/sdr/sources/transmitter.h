// A broadcast FM transmitter and the path to the receiver: the stereo multiplex with RDS from our
// group encoder, FM with 75 kHz deviation, noise for a chosen carrier-to-noise ratio, a carrier
// offset, a receiver sample clock that runs off, and other stations on the captured span beside
// it. Used by the synthetic source, tests and benchmarks.
#ifndef HALVANE_DRIVER_SDR_SOURCES_TRANSMITTER_H
#define HALVANE_DRIVER_SDR_SOURCES_TRANSMITTER_H

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "band/station.h"
#include "rds/group.h"
#include "sdr/liquid_objects.h"
#include "sdr/sources/multipath_channel.h"
#include "sdr/sources/programme_feed.h"

namespace halvane::driver::sdr {

// The programme: a sine tone on the left, the right or both channels (level 1.0 is full scale);
// with `rightHz` the right channel has a tone of its own at that frequency and the same level.
struct Tone {
  double hz = 1000;
  bool left = true;
  bool right = true;
  double level = 0.5;
  double rightHz = 0;
};

// One tone more beside the tone, in one channel, at its level before pre-emphasis.
struct Partial {
  double hz = 1000;
  double level = 0.1;
  bool left = true;
};

struct MultiplexOptions {
  bool stereo = true;      // pilot and L-R subcarrier; mono sends L+R alone
  bool pilot = true;       // stereo without the pilot: only for measuring the RDS signal alone
  double stereoFromS = 0;  // a stereo station sends mono (no pilot, no L-R) before this time
  std::optional<band::RdsProgramme> rds;
  // How long the station had been on the air when this transmitter's time began: its traffic
  // schedule counts from then, so a retune does not start an announcement over.
  int64_t onAirMs = 0;
  Tone tone;
  // The station's programme (music, speech) in the tone's place, pre-emphasised and held by the
  // broadcast limiter to full deviation on its way in. A feed outlives the transmitter that
  // sends it, so the station's programme goes on where it was when it is sent anew (a retune).
  std::shared_ptr<ProgrammeFeed> programme{};
  double preemphasisUs = 50;
  // Sees the blocks of RDS group number `group` (from 0) on their way to the air and may change
  // them: damage a test wants the receiver to meet.
  std::function<void(uint64_t group, std::array<uint32_t, rds::kBlocksPerGroup>& blocks)>
      rdsOnAir{};
  // Tones beside the tone, each in one channel: a music-like programme of many tones at once
  // whose peaks reach full deviation. Not sent with a programme feed.
  std::vector<Partial> chord{};
};

// The baseband multiplex as a function of time, 1.0 at full deviation.
class MultiplexModel {
 public:
  explicit MultiplexModel(MultiplexOptions options);

  // The multiplex `t` seconds after the start. `t` never goes backwards between calls.
  float At(double t);

  // RDS groups begun so far.
  uint64_t GroupsSent() const { return nextGroup_; }

 private:
  void ExtendRds(double untilIndex);

  MultiplexOptions options_;
  struct Sine {
    double hz = 0;
    double amplitude = 0;
    double phase = 0;  // the pre-emphasis's phase shift at the tone's frequency
  };
  Sine tone_;
  Sine rightTone_;
  std::vector<std::pair<Sine, bool>> chord_;  // each tone, and whether it is in the left channel
  std::optional<double> feedOffsetS_;         // the feed's time less this model's
  RealInterpolator shaper_;
  std::vector<float> rdsWave_;  // shaped chips at kRdsWaveRate, from sample rdsWaveStart_ on
  uint64_t rdsWaveStart_ = 0;
  std::vector<uint8_t> bits_;  // bits of the group being sent
  size_t nextBit_ = 0;
  uint64_t nextGroup_ = 0;
  uint8_t lastDifferential_ = 0;
};

// Another station on the captured span, sent beside the wanted one.
struct Neighbour {
  double offsetHz = 200'000;  // its carrier from the wanted carrier
  double relativeDb = 0;      // its carrier's power over the wanted carrier's
  MultiplexOptions multiplex;
};

struct TransmitterOptions {
  MultiplexOptions multiplex;
  std::vector<Neighbour> neighbours;
  double sampleRate = 1'024'000;  // the receiver's nominal rate
  double carrierOffsetHz = 0;     // the carrier's distance from the receiver's centre
  double clockErrorPpm = 0;       // the receiver's sample clock runs fast by this much
  std::optional<double> cnrDb;    // in 200 kHz; none: no noise
  float amplitude = 1.0f;         // of the carrier
  // The carrier is off (only noise arrives) for `dropoutS` seconds from `dropoutFromS` on.
  double dropoutFromS = 0;
  double dropoutS = 0;
  std::vector<Echo> echoes;  // of this station's carrier, not its neighbours'
  uint64_t seed = 1;
};

// Noise alone, as the receiver hears an empty channel: the noise of a carrier of `amplitude` at
// `cnrDb`, at `sampleRate`.
class NoiseSource {
 public:
  NoiseSource(double sigma, uint64_t seed);
  static double SigmaFor(double amplitude, double cnrDb, double sampleRate);
  Complex Next();
  float NextReal();

 private:
  uint64_t NextBits();
  double sigma_;
  uint64_t state_;
  bool hasSpare_ = false;
  float spare_ = 0;
};

class Transmitter {
 public:
  explicit Transmitter(TransmitterOptions options);

  // The next samples as the receiver takes them.
  void Generate(std::span<Complex> out);
  // The same without this transmitter's noise, added to what `out` holds (several stations in
  // one noise floor).
  void Add(std::span<Complex> out);
  // The carrier's amplitude from the next sample on (a station coming in or fading as one
  // drives); the neighbours keep theirs.
  void SetAmplitude(float amplitude) { options_.amplitude = amplitude; }

  const MultiplexModel& multiplex() const { return multiplex_; }

 private:
  // This station's carrier alone, added to `out`.
  void AddCarrier(std::span<Complex> out);

  TransmitterOptions options_;
  std::vector<Transmitter> neighbours_;  // carriers only: the noise is this transmitter's
  MultiplexModel multiplex_;
  MultipathChannel multipath_;
  std::vector<Complex> carrier_;  // the carrier alone, on its way through the echoes
  NoiseSource noise_;
  double stepS_;  // true time between two receiver samples
  double t_ = 0;
  double phase_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
