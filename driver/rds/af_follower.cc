#include "rds/af_follower.h"

#include <algorithm>

#include "frequency.h"
#include "rds/rds_monitor.h"

namespace halvane::driver::rds {

std::string FollowReport(const AfFollowStatistics& statistics) {
  return "follow.switches=" + std::to_string(statistics.switches) +
         "\nfollow.checks=" + std::to_string(statistics.checks) +
         "\nfollow.silentms=" + std::to_string(statistics.silentMs) +
         "\nfollow.longestms=" + std::to_string(statistics.longestSilentMs) +
         "\nfollow.searchms=" + std::to_string(statistics.searchMs) + "\n";
}

std::vector<int32_t> SearchChannels(size_t from, int32_t tuned) {
  const Raster& raster = kFmRaster;
  const int32_t onRaster = (raster.high - raster.low) / raster.step + 1;
  const auto count = static_cast<size_t>(onRaster);
  std::vector<int32_t> channels;
  for (size_t i = 0; channels.size() < kAfSearchChannelsPerRound && i < count; ++i) {
    const auto at = static_cast<int32_t>((from + i) % count);
    const int32_t channel = raster.low + at * raster.step;
    if (channel != tuned) channels.push_back(channel);
  }
  return channels;
}

void AfFollower::Tuned(int64_t) {
  programme_.reset();
  alternatives_.clear();
  weakSinceMs_.reset();
  lostSinceMs_.reset();
  lastRoundMs_.reset();
  round_.reset();
}

void AfFollower::StartRound(int64_t nowMs, std::vector<int32_t> candidates, size_t alternatives,
                            bool lost, int mustBeat) {
  ++statistics_.rounds;
  lastRoundMs_ = nowMs;
  weakSinceMs_.reset();
  round_ = Round{std::move(candidates), alternatives, 0, lost, mustBeat, std::nullopt};
}

std::optional<int32_t> AfFollower::GoOn(int64_t nowMs, int32_t tuned) {
  Round& round = *round_;
  int64_t spent = 0;
  while (round.next < round.candidates.size() && spent < kAfPollBudgetMs) {
    // Out of the tunnel the programme's own alternatives come first: one found among them ends
    // the round before the band is searched.
    if (round.lost && round.best && round.next == round.alternatives) break;
    const int32_t frequency = round.candidates[round.next++];
    if (frequency == tuned) continue;
    ++statistics_.checks;
    const AfCheck found = check_(frequency, round.bestLevel);
    const int64_t silent = found.silentMs.value_or(checkMs_);
    spent += silent;
    if (round.lost) {
      statistics_.searchMs += silent;
    } else {
      statistics_.silentMs += silent;
      statistics_.longestSilentMs = std::max(statistics_.longestSilentMs, silent);
    }
    // Only the same programme, and only one that is clearly better.
    if (!found.pi || found.pi != programme_ || found.level > round.bestLevel) continue;
    if (found.level < round.bestLevel || !round.best) {
      round.best = frequency;
      round.bestLevel = found.level;
    }
  }
  const bool over = round.next == round.candidates.size() ||
                    (round.lost && round.best && round.next == round.alternatives);
  if (!over) return std::nullopt;
  const std::optional<int32_t> found = round.best;
  const bool lost = round.lost;
  round_.reset();
  lastRoundMs_ = nowMs;
  if (found) {
    ++statistics_.switches;
    if (lost) lostSinceMs_.reset();
  }
  return found;
}

std::optional<int32_t> AfFollower::Step(int64_t nowMs, int32_t frequency, int level,
                                        std::optional<uint16_t> pi, const std::vector<int32_t>& afs,
                                        const std::vector<int32_t>& band) {
  if (pi && (!programme_ || *pi == *programme_)) {
    programme_ = pi;
    if (!afs.empty()) alternatives_ = afs;
  }
  if (!enabled_ || !programme_) return std::nullopt;
  if (round_) {
    // A round made for a station that has since come back is of no more use.
    const bool stillNeeded = round_->lost ? level >= kAfNoSignal : level >= kAfWeakLevel;
    if (stillNeeded) return GoOn(nowMs, frequency);
    round_.reset();
    lastRoundMs_ = nowMs;
  }
  const int64_t hold = level >= kAfNoSignal ? kAfSearchHoldMs : kAfHoldMs;
  if (lastRoundMs_ && nowMs - *lastRoundMs_ < hold) return std::nullopt;

  if (level >= kAfNoSignal) {
    if (!lostSinceMs_) lostSinceMs_ = nowMs;
    weakSinceMs_.reset();
    if (nowMs - *lostSinceMs_ < kAfLostForMs) return std::nullopt;
    // Out of the tunnel: the programme's alternatives first, then the band's channels.
    std::vector<int32_t> candidates = alternatives_;
    candidates.insert(candidates.end(), band.begin(), band.end());
    StartRound(nowMs, std::move(candidates), alternatives_.size(), true, kAfNoSignal - 1);
    return GoOn(nowMs, frequency);
  }
  lostSinceMs_.reset();
  if (level < kAfWeakLevel || alternatives_.empty()) {
    weakSinceMs_.reset();
    return std::nullopt;
  }
  if (!weakSinceMs_) weakSinceMs_ = nowMs;
  if (nowMs - *weakSinceMs_ < kAfWeakForMs) return std::nullopt;
  StartRound(nowMs, alternatives_, alternatives_.size(), false, level - kAfHysteresis);
  return GoOn(nowMs, frequency);
}

FollowedProgramme ProgrammeOf(const RdsMonitor& monitor, int32_t tuned) {
  FollowedProgramme programme;
  if (!monitor.decoder().HasData()) return programme;
  programme.pi = monitor.decoder().data().pi;
  if (const auto list = monitor.decoder().station().afs.ListFor(tuned)) {
    for (const AfEntry& entry : list->entries) {
      if (!entry.regional) programme.afs.push_back(entry.frequency);
    }
  }
  return programme;
}

}  // namespace halvane::driver::rds
