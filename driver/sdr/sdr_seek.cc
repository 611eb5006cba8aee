// Seeking on the SDR: the raster walked channel by channel, each measured on a few milliseconds
// of its samples; with traffic on, an FM station also listened to for its TP before it stops
// the seek.
#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include "frequency.h"
#include "last_reason.h"
#include "result_codes.h"
#include "sdr/am_band.h"
#include "sdr/sdr_tuner.h"

namespace halvane::driver::sdr {
namespace {

constexpr int kNoStation = 15;
// A station listened to for its TP is read in pieces this long, so the listening stops soon
// after the flag is known.
constexpr int64_t kTrafficPieceMs = 25;

// A source's samples all alike carry no signal, whatever the filtered residue of the constant
// looks like to the meter (a server sending zeros): a real antenna always brings noise.
bool Flat(const std::vector<Complex>& iq) {
  return std::adjacent_find(iq.begin(), iq.end(), std::not_equal_to<>()) == iq.end();
}

}  // namespace

int32_t SdrTuner::MeasureLevel(int32_t frequency, int& level) {
  std::optional<double> offset;
  if (const int32_t code = source_->Tune(Frequency(frequency).Hertz(), clock_.NowMs(), offset);
      code != kOk) {
    return code;
  }
  level = kNoStation;
  if (!offset) return kOk;
  const bool am = Frequency(frequency).IsAm();
  const int64_t ms = am ? kAmSearchMeasureMs : kSearchMeasureMs;
  const auto count = static_cast<size_t>(source_->SampleRate() * static_cast<double>(ms) / 1000);
  iq_.clear();
  if (const int32_t code = source_->ReadNow(count, iq_); code != kOk) return code;
  if (Flat(iq_)) return kOk;
  if (am) {
    am_->Tune(*offset);
    am_->Measure(iq_);
    level = am_->Level();
    return kOk;
  }
  receiver_->Tune(*offset);
  receiver_->Measure(iq_);
  level = LevelForCnr(receiver_->CarrierToNoiseDb());
  return kOk;
}

int32_t SdrTuner::ListenForTraffic(int64_t deadline, std::optional<bool>& tp) {
  // The receiver is on the channel MeasureLevel measured; its RDS from here on.
  const double rate = source_->SampleRate();
  const auto count = static_cast<size_t>(rate * static_cast<double>(kTrafficPieceMs) / 1000);
  const int64_t now = clock_.NowMs();
  tp.reset();
  for (int64_t at = kTrafficPieceMs; at <= rds::kTrafficFlagWaitMs && parts_.wallMs() < deadline;
       at += kTrafficPieceMs) {
    iq_.clear();
    if (const int32_t code = source_->ReadNow(count, iq_); code != kOk) return code;
    sound_.clear();
    receiver_->Process(iq_, now + at, true, sound_);
    tp = rds::CarriesTraffic(receiver_->monitor());
    if (tp) break;
  }
  return kOk;
}

int32_t SdrTuner::SearchFailed(int32_t code, int32_t from) {
  const std::string why(LastReason());
  // The source was left on the last channel measured: back to the station, as before the seek.
  Tune(from);
  SetLastReason(why);
  return Fail(code);
}

int32_t SdrTuner::SearchOutOfTime(int measured, int passed, int32_t from) {
  const std::string limit = std::to_string(kSearchWallMs / 1000) + " s";
  if (passed > 0) {
    SetLastReason("no station that carries traffic was found within " + limit + " (" +
                  std::to_string(passed) +
                  " stations without traffic passed by): back where the search began");
    Tune(from);
    return kNoTrafficStationInTime;
  }
  SetLastReason("the search gave up after " + limit + ", " + std::to_string(measured) +
                " channels measured: the samples come too slowly to measure the band");
  return SearchFailed(kSdrDeviceLost, from);
}

int32_t SdrTuner::Search(int32_t& frequency, bool up) {
  if (const int32_t code = Ready(); code != kOk) return code;
  follower_.Tuned(clock_.NowMs());
  traffic_.Tuned();
  // AM walks the region's raster, FM the 100 kHz one.
  const bool am = Frequency(frequency).IsAm();
  const bool onlyTraffic = rds::SeekWantsTraffic(traffic(), frequency);
  const AmPlan& plan = AmPlanFor(config_.amStepKhz);
  const auto next = [&](int32_t from) {
    return am ? NextAmChannel(from, up, plan) : NextChannel(from, up);
  };
  int32_t stop = am ? (up ? plan.high() : plan.low()) : (up ? kFmRaster.high : kFmRaster.low);
  int32_t code = HALVANE_SEARCH_BAND_END;
  const int32_t from = frequency_;
  const int64_t deadline = parts_.wallMs() + kSearchWallMs;
  int measured = 0;
  int passed = 0;                        // stations passed by for carrying no traffic
  std::optional<rds::RdsMonitor> heard;  // what the station stopped on sent while listened to
  for (std::optional<int32_t> channel = next(frequency); channel; channel = next(*channel)) {
    if (parts_.wallMs() >= deadline) return SearchOutOfTime(measured, passed, from);
    int level = kNoStation;
    if (const int32_t failed = MeasureLevel(*channel, level); failed != kOk) {
      return SearchFailed(failed, from);
    }
    ++measured;
    if (level > seekThreshold_) continue;
    if (onlyTraffic) {
      std::optional<bool> tp;
      if (const int32_t failed = ListenForTraffic(deadline, tp); failed != kOk) {
        return SearchFailed(failed, from);
      }
      if (!tp.value_or(false)) {
        ++passed;
        continue;
      }
      heard = receiver_->monitor();
    }
    stop = *channel;
    code = kOk;
    break;
  }
  if (const int32_t failed = Tune(stop); failed != kOk) return Fail(failed);
  // The station's data decoded while it was listened to show at once.
  if (heard) receiver_->monitor().TakeOver(*heard, clock_.NowMs());
  frequency = stop;
  return code;
}

}  // namespace halvane::driver::sdr
