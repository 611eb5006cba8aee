#include "rds/traffic_follower.h"

#include <utility>

#include "frequency.h"

namespace halvane::driver::rds {
namespace {

// Where a linked programme is heard from the tuned transmitter: the frequency the station maps
// to it, else the first of its own list.
std::optional<int32_t> FrequencyOf(const OtherNetwork& other, int32_t tuned) {
  if (const auto mapped = other.mapped.find(tuned);
      mapped != other.mapped.end() && mapped->second.shown()) {
    return *mapped->second.shown();
  }
  if (const auto list = other.afs.ListFor(0)) {
    for (const AfEntry& entry : list->entries) {
      if (!entry.regional && entry.frequency != tuned) return entry.frequency;
    }
  }
  return std::nullopt;
}

}  // namespace

bool SeekWantsTraffic(bool on, int32_t frequency) { return on && !Frequency(frequency).IsAm(); }

std::optional<bool> CarriesTraffic(const RdsMonitor& monitor) {
  const GroupDecoder& decoder = monitor.decoder();
  if (!decoder.HasData()) return std::nullopt;
  return decoder.station().tp.shown();
}

void TrafficFollower::Tuned() {
  away_.reset();
  done_.clear();
}

std::optional<TrafficMove> TrafficFollower::Return() {
  if (!away_) return std::nullopt;
  TrafficMove back{away_->home, std::move(away_->programme)};
  away_.reset();
  return back;
}

std::optional<TrafficMove> TrafficFollower::Step(int64_t nowMs, const RdsMonitor& monitor,
                                                 int32_t tuned) {
  return away_ ? Watch(nowMs, monitor) : Leave(nowMs, monitor, tuned);
}

std::optional<TrafficMove> TrafficFollower::Leave(int64_t nowMs, const RdsMonitor& monitor,
                                                  int32_t tuned) {
  if (!monitor.decoder().HasData()) return std::nullopt;
  for (const auto& [pi, other] : monitor.decoder().station().otherNetworks.networks()) {
    const bool alarm = other.pty.shown() == kAlarmPty;
    const bool traffic =
        enabled_ && other.tp.shown().value_or(false) && other.ta.shown().value_or(false);
    if (!alarm && !traffic) {
      done_.erase(pi);  // ended: the next one is followed again
      continue;
    }
    if (done_.contains(pi)) continue;
    const std::optional<int32_t> frequency = FrequencyOf(other, tuned);
    if (!frequency) continue;
    done_.insert(pi);
    away_ = Away{tuned, pi, monitor, nowMs};
    return TrafficMove{*frequency, std::nullopt};
  }
  return std::nullopt;
}

std::optional<TrafficMove> TrafficFollower::Watch(int64_t nowMs, const RdsMonitor& monitor) {
  const GroupDecoder& decoder = monitor.decoder();
  if (decoder.HasData()) {
    // Another programme there: nothing to hear of the announcement.
    if (decoder.data().pi != away_->pi) return Return();
    if (monitor.HasFreshData(nowMs)) away_->heardMs = nowMs;
    // The announcement ends when the programme says so (two groups alike), the alarm when its
    // programme type is another.
    const std::optional<bool>& ta = decoder.station().basicTuning.ta.shown();
    const std::optional<uint8_t>& pty = decoder.station().pty.shown();
    if (ta && !*ta && pty && *pty != kAlarmPty) {
      // Heard to end here: the programme coming back shows no announcement of it any more.
      away_->programme.OtherAnnouncementEnded(away_->pi);
      return Return();
    }
  }
  if (nowMs - away_->heardMs > kTrafficNotHeardMs) return Return();
  return std::nullopt;
}

}  // namespace halvane::driver::rds
