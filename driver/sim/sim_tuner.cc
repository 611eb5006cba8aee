#include "sim/sim_tuner.h"

#include <algorithm>
#include <utility>

#include "audio/playthrough_tuner.h"
#include "frequency.h"
#include "last_reason.h"
#include "rds/extended_report.h"
#include "rds/record_writer.h"
#include "result_codes.h"
#include "sim/programme_schedule.h"
#include "sim/rds_timing.h"
#include "sim/reception.h"

namespace halvane::driver::sim {

namespace {
// A check of an alternative on the simulated tuner: tune, let the synthesiser settle and
// receive one group's block A for the PI. 1 group (87.6 ms) plus 12 ms settling; a candidate too
// weak to be taken costs the settling alone.
constexpr int64_t kCheckMs = 100;
constexpr int64_t kSettleMs = 12;
// A held clock's long step is played in pieces of this length, each at its own level.
constexpr int64_t kSoundStepMs = 100;
}  // namespace

SimTuner::SimTuner(const DriverClock& clock, std::function<band::BandLoad()> loadBand,
                   bool followAlternatives, SimSound::OpenAudio openAudio)
    : clock_(clock),
      loadBand_(std::move(loadBand)),
      // A check is simulated: it takes the time it silences, on the driver's clock.
      follower_([&clock] { return clock.NowMs(); }),
      sound_(std::move(openAudio)) {
  follower_.SetEnabled(followAlternatives);
}

int32_t SimTuner::Initialize() {
  if (!band_) {
    band::BandLoad load = loadBand_();
    if (!load.band) {
      lastError_ = std::move(load.message);
      SetLastReason(lastError_);
      return load.errorCode;
    }
    band_ = std::move(load.band);
  }
  if (band_->initializeError != 0) {
    lastError_ = "the band file asks radioInitialize to fail";
    SetLastReason(lastError_);
    return band_->initializeError;
  }
  lastError_.clear();
  ClearLastReason();
  initialized_ = true;
  if (!started_) {
    started_ = true;
    startedAtMs_ = clock_.NowMs();
    receiver_.SetRadioStart(startedAtMs_);
  }
  receiver_.Stop();
  receiver_.Retune(clock_.NowMs());
  tunedAtMs_ = clock_.NowMs();
  soundMs_ = clock_.NowMs();
  // Without a sound server the simulated radio plays silently, as it always has, and a start
  // that succeeded leaves no reason behind.
  sound_.Open(soundMs_, startedAtMs_, muted_);
  ClearLastReason();
  sound_.SetTitle(audio::FrequencyTitle(frequency_));
  return kOk;
}

int32_t SimTuner::Uninitialize() {
  if (!initialized_) return kNotInitialized;
  Play();
  receiver_.Stop();
  sound_.Close();
  initialized_ = false;
  return kOk;
}

int32_t SimTuner::SetMute(bool mute) {
  if (!initialized_) return kNotInitialized;
  Play();
  muted_ = mute;
  sound_.SetMute(mute);
  return kOk;
}

int32_t SimTuner::SetForceMono(bool mono) {
  if (!initialized_) return kNotInitialized;
  Play();
  mono_ = mono;
  sound_.SetMono(mono);
  return kOk;
}

void SimTuner::Tune(int32_t frequency) {
  Play();
  frequency_ = frequency;
  tunedAtMs_ = clock_.NowMs();
  receiver_.Retune(tunedAtMs_);
  sound_.SetTitle(audio::FrequencyTitle(frequency));
}

int32_t SimTuner::SetFrequency(int32_t frequency) {
  if (!initialized_) return kNotInitialized;
  Tune(SnapToRaster(frequency));
  follower_.Tuned(clock_.NowMs());
  traffic_.Tuned();
  return kOk;
}

int32_t SimTuner::GetFrequency(int32_t& frequency) {
  if (!initialized_) return kNotInitialized;
  Play();
  frequency = frequency_;
  return kOk;
}

int32_t SimTuner::Search(int32_t& frequency, bool up) {
  if (!initialized_) return kNotInitialized;
  const Raster& raster = RasterOf(frequency);
  traffic_.Tuned();
  // With traffic on, only stations that carry traffic stop an FM seek.
  const bool onlyTraffic = rds::SeekWantsTraffic(traffic_.enabled(), frequency);
  const auto wanted = [&](const band::Station* station) {
    return station != nullptr && (!onlyTraffic || (station->programme && station->programme->tp));
  };
  for (std::optional<int32_t> channel = NextChannel(frequency, up); channel;
       channel = NextChannel(*channel, up)) {
    if (wanted(Received(*channel))) {
      Tune(*channel);
      follower_.Tuned(clock_.NowMs());
      frequency = *channel;
      return kOk;
    }
  }
  const int32_t edge = up ? raster.high : raster.low;
  Tune(edge);
  follower_.Tuned(clock_.NowMs());
  frequency = edge;
  return HALVANE_SEARCH_BAND_END;
}

int32_t SimTuner::StartRds() {
  if (!initialized_) return kNotInitialized;
  receiver_.Start(clock_.NowMs());
  return kOk;
}

int32_t SimTuner::StopRds() {
  if (!initialized_) return kNotInitialized;
  // Groups that arrived before the stop are still received.
  CatchUp();
  receiver_.Stop();
  return kOk;
}

int32_t SimTuner::SetTraffic(bool on) {
  TunerBackend::SetTraffic(on);
  traffic_.SetEnabled(on);
  if (!on && initialized_) {
    if (const auto back = traffic_.Return()) FollowTraffic(*back);
  }
  return kOk;
}

int32_t SimTuner::GetState(uint8_t& flags) {
  if (!initialized_) return kNotInitialized;
  Play();
  const band::Station* station = TunedStation();
  flags = (station ? kStateStation : 0) |
          (station && station->stereo && !mono_ ? kStateStereo : 0) | (muted_ ? kStateMuted : 0) |
          (mono_ ? kStateMonoForced : 0);
  return kOk;
}

int32_t SimTuner::GetDecoderState(uint32_t& state) {
  if (!initialized_) return kNotInitialized;
  Play();
  Follow();
  const band::Station* station = TunedStation();
  const int64_t now = clock_.NowMs();
  const bool receiving = station != nullptr && receiver_.running();
  const uint32_t level =
      receiving ? static_cast<uint32_t>(LevelOf(*station)) : band::kNoStationLevel;
  state = DecoderStateWord(level, receiver_.monitor().DamagedBlocksInLastSecond(now));
  return kOk;
}

int32_t SimTuner::EvalData(RdsRecord& record) {
  if (!initialized_) return kNotInitialized;
  if (!receiver_.running()) return kRdsStopped;
  const int64_t now = clock_.NowMs();
  CatchUp();
  const rds::RdsMonitor& monitor = receiver_.monitor();
  if (!monitor.decoder().HasData()) return kRdsNoData;
  if (!monitor.HasFreshData(now)) return kRdsStale;
  record = rds::MakeRecord(monitor.decoder().data());
  const std::string name = audio::StationNameTitle(record.ps);
  if (!name.empty()) sound_.SetTitle(name);
  Play();
  return kOk;
}

int32_t SimTuner::ExtendedRds(std::string& report) {
  if (!initialized_) return kNotInitialized;
  report.clear();
  if (!receiver_.running()) return kOk;
  CatchUp();
  report = rds::MonitorReport(receiver_.monitor(), frequency_);
  if (!report.empty()) {
    // How the following went since the radio started, for a drive's figures.
    report += rds::FollowReport(follower_.statistics());
  }
  return kOk;
}

int SimTuner::LevelOf(const band::Station& station) const {
  return station.LevelAt(clock_.NowMs() - startedAtMs_);
}

const band::Station* SimTuner::Received(int32_t frequency) const {
  const band::Station* station = band_ ? band_->Find(frequency) : nullptr;
  return station != nullptr && LevelOf(*station) < band::kNoStationLevel ? station : nullptr;
}

const band::Station* SimTuner::TunedStation() const { return Received(frequency_); }

void SimTuner::CatchUp() {
  const band::Station* station = TunedStation();
  receiver_.CatchUp(station, station ? LevelOf(*station) : band::kNoStationLevel, clock_.NowMs());
}

rds::AfCheck SimTuner::Check(const rds::AfCandidate& candidate) {
  rds::AfCheck check;
  check.silentMs = kSettleMs;  // tune, settle, read the level
  const band::Station* station = Received(candidate.frequency);
  const bool readPi =
      station != nullptr && LevelOf(*station) <= candidate.mustBeat && station->HasRds();
  if (readPi) check.silentMs = kCheckMs;
  // The listener hears the check as a mute from when it begins: the checks before it may hold
  // the tuner past the clock's reading.
  sound_.Silence(candidate.atMs, check.silentMs);
  if (station == nullptr) return check;
  check.level = LevelOf(*station);
  if (!readPi) return check;
  const int level = check.level;
  // The group on the air as the check begins, as the jump would catch it.
  const auto n = static_cast<uint64_t>((candidate.atMs - startedAtMs_) / kCheckMs);
  const rds::ReceivedGroup group = rds::DecodeAirGroup(ReceiveGroup(*station, n, level));
  if (group.usable[0]) check.pi = group.blocks[0];
  return check;
}

Heard SimTuner::HeardAt(int64_t ms) const {
  Heard heard;
  const band::Station* station = band_ ? band_->Find(frequency_) : nullptr;
  if (station == nullptr) return heard;
  heard.level = station->LevelAt(ms - startedAtMs_);
  if (heard.level >= band::kNoStationLevel) return heard;
  heard.station = station;
  heard.announcement =
      station->programme && AnnouncementDuring(*station->programme, GroupsArrived(ms - tunedAtMs_),
                                               tunedAtMs_ - startedAtMs_);
  return heard;
}

void SimTuner::Play() {
  if (!sound_.open()) return;
  const int64_t now = clock_.NowMs();
  if (clock_.manual()) {
    for (int64_t step = soundMs_ + kSoundStepMs; step < now; step += kSoundStepMs) {
      sound_.PlayUntil(step, HeardAt(step));
    }
  }
  sound_.PlayUntil(now, HeardAt(now));
  soundMs_ = std::max(soundMs_, now);
}

// The tuned programme, followed from transmitter to transmitter; runs at every status poll.
void SimTuner::Follow() {
  CatchUp();
  if (!receiver_.running()) return;
  const band::Station* station = TunedStation();
  const int level = station ? LevelOf(*station) : band::kNoStationLevel;
  const rds::RdsMonitor& monitor = receiver_.monitor();
  if (const auto move = traffic_.Step(clock_.NowMs(), monitor, frequency_)) {
    FollowTraffic(*move);
    return;
  }
  // On a linked programme's announcement the programme to follow is the one to come back to.
  if (traffic_.away()) return;
  const rds::AfStep step = follower_.Step(clock_.NowMs(), frequency_, level,
                                          rds::ProgrammeOf(monitor, frequency_), *this);
  if (step.move) {
    // The follower keeps the programme; what the radio shows of it stays.
    frequency_ = *step.move;
    receiver_.Move(clock_.NowMs());
  }
}

// To a linked programme's announcement, or back to the programme, whose data show again.
void SimTuner::FollowTraffic(const rds::TrafficMove& move) {
  Tune(move.frequency);
  if (move.programme) receiver_.monitor().TakeOver(*move.programme, clock_.NowMs());
}

}  // namespace halvane::driver::sim
