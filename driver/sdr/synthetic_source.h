// The simulated band on the air: every station of the band on the captured span (the tuned one
// and its neighbours), each modulated by the transmitter model at the carrier-to-noise of its own
// level, in one noise floor. An empty channel is noise alone, or its neighbours' edges.
#ifndef HALVANE_DRIVER_SDR_SYNTHETIC_SOURCE_H
#define HALVANE_DRIVER_SDR_SYNTHETIC_SOURCE_H

#include <functional>
#include <memory>
#include <optional>

#include "band/band_loader.h"
#include "sdr/iq_source.h"
#include "sdr/sdr_config.h"
#include "sdr/transmitter.h"

namespace halvane::driver::sdr {

// The carrier-to-noise a station of band level `level` is sent at: the middle of the range the
// receiver reads as that level.
double CnrForLevel(int level);

class SyntheticSource final : public PacedSource {
 public:
  SyntheticSource(const SdrConfig& config, std::function<band::BandLoad()> loadBand);

  int32_t Open(int64_t nowMs) override;
  void Close() override {}
  double SampleRate() const override { return config_.rate; }
  int32_t Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) override;

 protected:
  int32_t Produce(size_t count, std::vector<Complex>& out) override;
  int32_t Skip(size_t count) override;

 private:
  SdrConfig config_;
  std::function<band::BandLoad()> loadBand_;
  std::optional<band::Band> band_;
  std::vector<Transmitter> transmitters_;  // the stations on the captured span
  std::unique_ptr<NoiseSource> noise_;
};

}  // namespace halvane::driver::sdr

#endif
