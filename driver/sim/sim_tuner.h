// The simulated Halvane 600: a tuner over a band of simulated stations, with RDS.
#ifndef HALVANE_DRIVER_SIM_SIM_TUNER_H
#define HALVANE_DRIVER_SIM_SIM_TUNER_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "band/band_loader.h"
#include "driver_clock.h"
#include "frequency.h"
#include "rds/af_follower.h"
#include "rds/af_probe.h"
#include "rds/traffic_follower.h"
#include "sim/rds_receiver.h"
#include "sim/sim_sound.h"
#include "tuner_backend.h"

namespace halvane::driver::sim {

class SimTuner final : public TunerBackend, private rds::AfProbe {
 public:
  // `loadBand` runs at the first successful Initialize (and again after a failed one).
  // `followAlternatives`: follow the tuned programme over its alternative frequencies.
  // `openAudio`: where the programmes are heard (the desktop's sound server by default).
  SimTuner(const DriverClock& clock, std::function<band::BandLoad()> loadBand,
           bool followAlternatives = true, SimSound::OpenAudio openAudio = audio::OpenAudioOutput);

  int32_t Initialize() override;
  int32_t Uninitialize() override;
  int32_t SetMute(bool mute) override;
  int32_t SetForceMono(bool mono) override;
  void SetVolume(float gain) override { sound_.SetVolume(gain); }
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
  int32_t SetTraffic(bool on) override;
  bool TrafficAway() const override { return traffic_.away(); }

  // Why the last Initialize failed, for tests and diagnostics.
  const std::string& LastError() const { return lastError_; }
  const rds::AfFollowStatistics& followStatistics() const { return follower_.statistics(); }
  const SimSound& sound() const { return sound_; }

 private:
  const band::Station* TunedStation() const;
  const band::Station* Received(int32_t frequency) const;
  int LevelOf(const band::Station& station) const;
  void Tune(int32_t frequency);
  void CatchUp();
  void Follow();
  void FollowTraffic(const rds::TrafficMove& move);
  // A muted jump to the candidate: its level, and for one strong enough to be taken the PI of
  // the group on the air as the check begins.
  rds::AfCheck Check(const rds::AfCandidate& candidate) override;
  // Plays the sound up to the clock; a held clock's long step in pieces, as the level moves.
  void Play();
  Heard HeardAt(int64_t ms) const;

  const DriverClock& clock_;
  std::function<band::BandLoad()> loadBand_;
  std::optional<band::Band> band_;
  std::string lastError_;
  bool initialized_ = false;
  bool muted_ = false;
  bool mono_ = false;
  int32_t frequency_ = kFmRaster.low;
  RdsReceiver receiver_;
  int64_t startedAtMs_ = 0;  // a drive's routes count from the first start
  bool started_ = false;
  rds::AfFollower follower_;
  rds::TrafficFollower traffic_;
  SimSound sound_;
  int64_t tunedAtMs_ = 0;  // the RDS schedule, and so a traffic announcement, counts from here
  int64_t soundMs_ = 0;    // the clock's reading the sound has been played to
};

}  // namespace halvane::driver::sim

#endif
