// The simulated band on the air: every station of the band on the captured span (the tuned one
// and its neighbours), each modulated by the transmitter model (FM or AM, as its band) at the
// carrier-to-noise of its own level, in one noise floor. An empty channel is noise alone, or its
// neighbours' edges. A station with a route (a drive) comes in and fades as its level moves, and is
// off the air at level 15.
#ifndef HALVANE_DRIVER_SDR_SOURCES_SYNTHETIC_SOURCE_H
#define HALVANE_DRIVER_SDR_SOURCES_SYNTHETIC_SOURCE_H

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "band/band_loader.h"
#include "sdr/sdr_config.h"
#include "sdr/sources/am_transmitter.h"
#include "sdr/sources/iq_source.h"
#include "sdr/sources/transmitter.h"

namespace halvane::driver::sdr {

// The carrier-to-noise a station of band level `level` is sent at: the middle of the range the
// receiver reads as that level.
double CnrForLevel(int level);

class SyntheticSource final : public PacedSource {
 public:
  SyntheticSource(SdrConfig config, std::function<band::BandLoad()> loadBand);

  int32_t Open(int64_t nowMs) override;
  void Close() override {}
  double SampleRate() const override { return config_.rate; }
  int32_t Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) override;

 protected:
  int32_t Produce(size_t count, std::vector<Complex>& out) override;
  int32_t Skip(size_t count) override;

 private:
  // The carrier's amplitude for a station of `level` on FM or on AM (whose carrier-to-noise is
  // stated in a narrower channel).
  float AmplitudeFor(int level, bool am = false) const;
  void SendAm(const band::Station& station, double distanceHz, int64_t nowMs);
  // The station's programme, made when it first comes on the span and kept, so a retune (a
  // search passing by, a move) neither starts it over nor pays for its synthesiser again.
  std::shared_ptr<ProgrammeFeed> FeedOf(const band::Station& station, int64_t nowMs);

  SdrConfig config_;
  std::function<band::BandLoad()> loadBand_;
  std::optional<band::Band> band_;
  struct OnSpan {
    const band::Station* station;
    Transmitter transmitter;
  };
  std::vector<OnSpan> onSpan_;  // the stations on the captured span
  struct AmOnSpan {
    const band::Station* station;
    AmTransmitter transmitter;
  };
  std::vector<AmOnSpan> amOnSpan_;
  int64_t airFromMs_ = 0;  // the routes' time 0: when the radio was opened
  std::unique_ptr<NoiseSource> noise_;
  std::map<const band::Station*, std::shared_ptr<ProgrammeFeed>> feeds_;
};

}  // namespace halvane::driver::sdr

#endif
