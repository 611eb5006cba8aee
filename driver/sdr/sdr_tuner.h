// The software-defined radio tuner: IQ samples from a source run through the receiver on the
// driver's clock whenever the plug-in calls; sound goes to the audio sink, RDS to the record.
#ifndef HALVANE_DRIVER_SDR_SDR_TUNER_H
#define HALVANE_DRIVER_SDR_SDR_TUNER_H

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_sink.h"
#include "driver_clock.h"
#include "rds/af_follower.h"
#include "rds/af_probe.h"
#include "rds/traffic_follower.h"
#include "sdr/af_watch.h"
#include "sdr/dsp/am_receiver.h"
#include "sdr/dsp/audio_path.h"
#include "sdr/dsp/receiver.h"
#include "sdr/sdr_config.h"
#include "sdr/sources/iq_source.h"
#include "tuner_backend.h"

namespace halvane::driver::sdr {

struct SdrTunerParts {
  std::function<std::unique_ptr<IqSource>()> makeSource;
  std::function<std::unique_ptr<audio::AudioSink>()> openAudio = audio::OpenAudioOutput;
  // Real time, whatever the driver's clock does: what bounds a search's wait for its samples.
  std::function<int64_t()> wallMs = MonotonicMs;
};

// A held clock's long step is received in pieces of this length.
inline constexpr int64_t kPumpStepMs = 100;

// A search measures each channel for this long; an AM channel's carrier loop needs longer.
inline constexpr int64_t kSearchMeasureMs = 10;
inline constexpr int64_t kAmSearchMeasureMs = 30;
// A search that has not reached its end after this much real time (a source whose samples come
// late) gives up, back on the station it started from.
inline constexpr int64_t kSearchWallMs = 10'000;

class SdrTuner final : public TunerBackend, private rds::AfProbe {
 public:
  // `followAlternatives`: follow the programme to alternatives inside the captured span.
  SdrTuner(const DriverClock& clock, SdrConfig config, int seekThreshold, SdrTunerParts parts,
           bool followAlternatives = true);
  ~SdrTuner() override;

  int32_t Initialize() override;
  int32_t Uninitialize() override;
  int32_t SetMute(bool mute) override;
  void SetVolume(float gain) override;
  int32_t SetForceMono(bool mono) override;
  int32_t SetFrequency(int32_t frequency) override;
  int32_t GetFrequency(int32_t& frequency) override;
  // sdr_seek.cc. Steps the raster from `frequency`, measuring each channel's carrier-to-noise,
  // and stops on the first whose level is at most the seek threshold (on FM with traffic on, and
  // whose RDS says it carries traffic); past the band's edge, tunes to the edge and returns the
  // band-end code.
  int32_t Search(int32_t& frequency, bool up) override;
  int32_t StartRds() override;
  int32_t StopRds() override;
  int32_t GetState(uint8_t& flags) override;
  int32_t GetDecoderState(uint32_t& state) override;
  int32_t EvalData(RdsRecord& record) override;
  int32_t ExtendedRds(std::string& report) override;
  int32_t SetTraffic(bool on) override;
  bool TrafficAway() const override { return traffic_.away(); }

  const rds::AfFollowStatistics& followStatistics() const { return follower_.statistics(); }

 private:
  // Brings the receiver up to the clock. A held clock (batch mode, tests) is followed in steps of
  // kPumpStepMs, so every millisecond of a long wait is heard and decoded; on a running clock a
  // late call takes what the source still holds (kMaxBacklogMs). A failing source leaves the
  // tuner failed (every call returns its code) until the radio is stopped and started again,
  // unless the source reconnects by itself: then each call fails only while the source does.
  int32_t Pump();
  int32_t PumpUntil(int64_t nowMs);
  int32_t Ready();
  int32_t Tune(int32_t frequency);
  int32_t Fail(int32_t code);
  int32_t MeasureLevel(int32_t frequency, int& level);
  bool OnAm() const;
  // The reception level of the tuned channel, on the band it lies in.
  int TunedLevel(int64_t nowMs) const;
  // Reads the RDS of the channel just measured for at most kTrafficFlagWaitMs (and not past the
  // search's `deadline`): its TP, or nothing where none was confirmed.
  int32_t ListenForTraffic(int64_t deadline, std::optional<bool>& tp);
  // The search ran out of time after `measured` channels, `passed` stations passed by for
  // carrying no traffic: back to `from`, with the reason.
  int32_t SearchOutOfTime(int measured, int passed, int32_t from);
  // Returns the source to `from` and fails the search with `code`, the reason kept.
  int32_t SearchFailed(int32_t code, int32_t from);
  // af_follow.cc: at every decoder state poll, alternatives are watched while the
  // station is weak and the follower's move taken over the watched receiver. After a total loss
  // the programme is searched by its PI, retuning the source where need be; a failing source
  // returns its code.
  int32_t Follow(int64_t nowMs);
  // To a linked programme's announcement or back: inside the span only the receiver moves.
  int32_t FollowTraffic(const rds::TrafficMove& move, int64_t nowMs);
  // One frequency for the follower: a watched one as its watcher measures it; while the station
  // is lost, any other by retuning the source to it (the tuner returns after the poll).
  rds::AfCheck Check(const rds::AfCandidate& candidate) override;
  rds::AfCheck Probe(const rds::AfCandidate& candidate);

  const DriverClock& clock_;
  SdrConfig config_;
  int seekThreshold_;
  SdrTunerParts parts_;
  std::unique_ptr<IqSource> source_;
  std::unique_ptr<Receiver> receiver_;
  std::unique_ptr<AmReceiver> am_;  // the tuned channel's receiver while it is an AM one
  std::unique_ptr<AudioPath> audio_;
  bool initialized_ = false;
  int32_t failed_ = 0;  // the code every call returns once the source has failed
  std::string failedReason_;
  bool muted_ = false;
  bool mono_ = false;
  float volume_ = 1.0f;  // the programme's gain, kept while the audio path comes and goes
  bool rdsOn_ = false;
  bool reachable_ = false;  // the tuned frequency lies within the source's reach
  int32_t frequency_ = 87'500'000;
  int64_t pumpedMs_ = 0;  // the clock's reading at the last pump or tune
  int64_t centreHz_ = 0;  // the samples' centre frequency
  rds::AfFollower follower_;
  rds::TrafficFollower traffic_;
  std::unique_ptr<AfWatch> watch_;
  std::unique_ptr<Receiver> probe_;  // measures a frequency the search retuned the source to
  std::vector<Complex> iq_;
  std::vector<float> sound_;
};

}  // namespace halvane::driver::sdr

#endif
