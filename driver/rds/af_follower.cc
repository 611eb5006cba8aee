#include "rds/af_follower.h"

#include <algorithm>

#include "band/frequency.h"
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
  const band::Raster& raster = band::kFmRaster;
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
}

std::optional<int32_t> AfFollower::BestOf(const std::vector<int32_t>& candidates, int32_t tuned,
                                          int mustBeat, bool lost) {
  std::optional<int32_t> best;
  int bestLevel = mustBeat;
  for (int32_t frequency : candidates) {
    if (frequency == tuned) continue;
    ++statistics_.checks;
    const AfCheck found = check_(frequency, bestLevel);
    const int64_t silent = found.silentMs.value_or(checkMs_);
    if (lost) {
      statistics_.searchMs += silent;
    } else {
      statistics_.silentMs += silent;
      statistics_.longestSilentMs = std::max(statistics_.longestSilentMs, silent);
    }
    // Only the same programme, and only one that is clearly better.
    if (!found.pi || found.pi != programme_ || found.level > bestLevel) continue;
    if (found.level < bestLevel || !best) {
      best = frequency;
      bestLevel = found.level;
    }
  }
  return best;
}

std::optional<int32_t> AfFollower::Step(int64_t nowMs, int32_t frequency, int level,
                                        std::optional<uint16_t> pi, const std::vector<int32_t>& afs,
                                        const std::vector<int32_t>& band) {
  if (pi && (!programme_ || *pi == *programme_)) {
    programme_ = pi;
    if (!afs.empty()) alternatives_ = afs;
  }
  if (!enabled_ || !programme_) return std::nullopt;
  if (lastRoundMs_ && nowMs - *lastRoundMs_ < kAfHoldMs) return std::nullopt;

  if (level >= kAfNoSignal) {
    if (!lostSinceMs_) lostSinceMs_ = nowMs;
    weakSinceMs_.reset();
    if (nowMs - *lostSinceMs_ < kAfLostForMs) return std::nullopt;
    // Out of the tunnel: the programme's alternatives first, then every channel.
    ++statistics_.rounds;
    lastRoundMs_ = nowMs;
    std::optional<int32_t> found = BestOf(alternatives_, frequency, kAfNoSignal - 1, true);
    if (!found) found = BestOf(band, frequency, kAfNoSignal - 1, true);
    if (found) {
      ++statistics_.switches;
      lostSinceMs_.reset();
    }
    return found;
  }
  lostSinceMs_.reset();
  if (level < kAfWeakLevel || alternatives_.empty()) {
    weakSinceMs_.reset();
    return std::nullopt;
  }
  if (!weakSinceMs_) weakSinceMs_ = nowMs;
  if (nowMs - *weakSinceMs_ < kAfWeakForMs) return std::nullopt;
  ++statistics_.rounds;
  lastRoundMs_ = nowMs;
  weakSinceMs_.reset();
  const std::optional<int32_t> found =
      BestOf(alternatives_, frequency, level - kAfHysteresis, false);
  if (found) ++statistics_.switches;
  return found;
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
