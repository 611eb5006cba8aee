#include "sim/sim_tuner.h"

#include <utility>

#include "band/frequency.h"
#include "last_reason.h"
#include "rds/extended_report.h"
#include "rds/record_writer.h"
#include "result_codes.h"

namespace halvane::driver::sim {

SimTuner::SimTuner(const DriverClock& clock, std::function<band::BandLoad()> loadBand)
    : clock_(clock), load_band_(std::move(loadBand)) {}

int32_t SimTuner::Initialize() {
  if (!band_) {
    band::BandLoad load = load_band_();
    if (!load.band) {
      last_error_ = std::move(load.message);
      SetLastReason(last_error_);
      return load.errorCode;
    }
    band_ = std::move(load.band);
  }
  if (band_->initializeError != 0) {
    last_error_ = "the band file asks radioInitialize to fail";
    SetLastReason(last_error_);
    return band_->initializeError;
  }
  last_error_.clear();
  ClearLastReason();
  initialized_ = true;
  receiver_.Stop();
  receiver_.Retune(clock_.NowMs());
  return kOk;
}

int32_t SimTuner::Uninitialize() {
  if (!initialized_) return kNotInitialized;
  receiver_.Stop();
  initialized_ = false;
  return kOk;
}

int32_t SimTuner::SetMute(bool mute) {
  if (!initialized_) return kNotInitialized;
  muted_ = mute;
  return kOk;
}

int32_t SimTuner::SetForceMono(bool mono) {
  if (!initialized_) return kNotInitialized;
  mono_ = mono;
  return kOk;
}

void SimTuner::Tune(int32_t frequency) {
  frequency_ = frequency;
  receiver_.Retune(clock_.NowMs());
}

int32_t SimTuner::SetFrequency(int32_t frequency) {
  if (!initialized_) return kNotInitialized;
  Tune(band::SnapToRaster(frequency));
  return kOk;
}

int32_t SimTuner::GetFrequency(int32_t& frequency) {
  if (!initialized_) return kNotInitialized;
  frequency = frequency_;
  return kOk;
}

int32_t SimTuner::Search(int32_t& frequency, bool up) {
  if (!initialized_) return kNotInitialized;
  const band::Raster& raster = band::RasterOf(frequency);
  for (std::optional<int32_t> channel = band::NextChannel(frequency, up); channel;
       channel = band::NextChannel(*channel, up)) {
    const band::Station* station = band_->Find(*channel);
    if (station != nullptr && station->level < band::kNoStationLevel) {
      Tune(*channel);
      frequency = *channel;
      return kOk;
    }
  }
  const int32_t edge = up ? raster.high : raster.low;
  Tune(edge);
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
  receiver_.CatchUp(TunedStation(), clock_.NowMs());
  receiver_.Stop();
  return kOk;
}

int32_t SimTuner::GetState(uint8_t& flags) {
  if (!initialized_) return kNotInitialized;
  const band::Station* station = TunedStation();
  flags = (station ? kStateStation : 0) |
          (station && station->stereo && !mono_ ? kStateStereo : 0) | (muted_ ? kStateMuted : 0) |
          (mono_ ? kStateMonoForced : 0);
  return kOk;
}

int32_t SimTuner::GetDecoderState(uint32_t& state) {
  if (!initialized_) return kNotInitialized;
  const band::Station* station = TunedStation();
  const int64_t now = clock_.NowMs();
  receiver_.CatchUp(station, now);
  const bool receiving = station != nullptr && receiver_.running();
  const uint32_t level = receiving ? static_cast<uint32_t>(station->level) : band::kNoStationLevel;
  state = DecoderStateWord(level, receiver_.monitor().DamagedBlocksInLastSecond(now));
  return kOk;
}

int32_t SimTuner::EvalData(RdsRecord& record) {
  if (!initialized_) return kNotInitialized;
  if (!receiver_.running()) return kRdsStopped;
  const int64_t now = clock_.NowMs();
  receiver_.CatchUp(TunedStation(), now);
  const rds::RdsMonitor& monitor = receiver_.monitor();
  if (!monitor.decoder().HasData()) return kRdsNoData;
  if (!monitor.HasFreshData(now)) return kRdsStale;
  record = rds::MakeRecord(monitor.decoder().data());
  return kOk;
}

int32_t SimTuner::ExtendedRds(std::string& report) {
  if (!initialized_) return kNotInitialized;
  report.clear();
  if (!receiver_.running()) return kOk;
  receiver_.CatchUp(TunedStation(), clock_.NowMs());
  report = rds::MonitorReport(receiver_.monitor(), frequency_);
  return kOk;
}

const band::Station* SimTuner::TunedStation() const {
  const band::Station* station = band_ ? band_->Find(frequency_) : nullptr;
  return station != nullptr && station->level < band::kNoStationLevel ? station : nullptr;
}

}  // namespace halvane::driver::sim
