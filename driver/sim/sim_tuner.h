// The simulated Halvane 600: a tuner over a band of simulated stations, with RDS.
#ifndef HALVANE_DRIVER_SIM_SIM_TUNER_H
#define HALVANE_DRIVER_SIM_SIM_TUNER_H

#include <functional>
#include <optional>
#include <string>

#include "band/band_loader.h"
#include "band/frequency.h"
#include "driver_clock.h"
#include "sim/rds_receiver.h"
#include "tuner_backend.h"

namespace halvane::driver::sim {

class SimTuner final : public TunerBackend {
 public:
  // `loadBand` runs at the first successful Initialize (and again after a failed one).
  SimTuner(const DriverClock& clock, std::function<band::BandLoad()> loadBand);

  int32_t Initialize() override;
  int32_t Uninitialize() override;
  int32_t SetMute(bool mute) override;
  int32_t SetForceMono(bool mono) override;
  int32_t SetFrequency(int32_t frequency) override;
  int32_t GetFrequency(int32_t& frequency) override;
  // Walks the raster from `frequency` (exclusive) to the next station received at all, tunes to
  // it and writes it; past the band's edge tunes to that edge and returns the band-end code.
  int32_t Search(int32_t& frequency, bool up) override;
  int32_t StartRds() override;
  int32_t StopRds() override;
  int32_t GetState(uint8_t& flags) override;
  int32_t GetDecoderState(uint32_t& state) override;
  int32_t EvalData(RdsRecord& record) override;
  int32_t ExtendedRds(std::string& report) override;

  // Why the last Initialize failed, for tests and diagnostics.
  const std::string& LastError() const { return last_error_; }

 private:
  const band::Station* TunedStation() const;
  void Tune(int32_t frequency);

  const DriverClock& clock_;
  std::function<band::BandLoad()> load_band_;
  std::optional<band::Band> band_;
  std::string last_error_;
  bool initialized_ = false;
  bool muted_ = false;
  bool mono_ = false;
  int32_t frequency_ = band::kFmRaster.low;
  RdsReceiver receiver_;
};

}  // namespace halvane::driver::sim

#endif
