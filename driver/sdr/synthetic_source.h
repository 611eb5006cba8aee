// The simulated band on the air: the station on the tuned frequency, modulated by the
// transmitter model, in noise that matches its level. An empty channel is noise alone.
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
  std::unique_ptr<Transmitter> transmitter_;  // none: an empty channel
  std::unique_ptr<NoiseSource> noise_;
};

}  // namespace halvane::driver::sdr

#endif
