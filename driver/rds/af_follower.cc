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

std::vector<int32_t> AfFollower::NextSearchChannels(int32_t tuned) {
  const Raster& raster = kFmRaster;
  const int32_t onRaster = (raster.high - raster.low) / raster.step + 1;
  const auto count = static_cast<size_t>(onRaster);
  std::vector<int32_t> channels;
  size_t taken = 0;
  for (; channels.size() < kAfSearchChannelsPerRound && taken < count; ++taken) {
    const auto at = static_cast<int32_t>((searchFrom_ + taken) % count);
    const int32_t channel = raster.low + at * raster.step;
    // The tuned channel is lost, and the alternatives come first in every round anyway.
    if (channel == tuned || std::ranges::find(alternatives_, channel) != alternatives_.end()) {
      continue;
    }
    channels.push_back(channel);
  }
  searchFrom_ = (searchFrom_ + taken) % count;
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

AfStep AfFollower::GoOn(int64_t nowMs, int32_t tuned, AfProbe& probe) {
  Round& round = *round_;
  AfStep step;
  // The checks follow one another on the tuner: each begins when the one before it ended, and a
  // poll begins none past its budget, so the time they are charged never outruns the time that
  // passes (a held clock stands still while they are made).
  int64_t at = std::max(nowMs, busyUntilMs_.value_or(nowMs));
  while (round.next < round.candidates.size() && at < nowMs + kAfPollBudgetMs &&
         step.failure == 0) {
    // Out of the tunnel the programme's own alternatives come first: one found among them ends
    // the round before the band is searched.
    if (round.lost && round.best && round.next == round.alternatives) break;
    const int32_t frequency = round.candidates[round.next++];
    if (frequency == tuned) continue;
    ++statistics_.checks;
    const int64_t realBefore = realMs_();
    const AfCheck found = probe.Check({frequency, round.bestLevel, round.lost, at});
    // A check holds the tuner for its silence, or for the real time it took where that was
    // longer (samples that come late over a slow link).
    const int64_t taken = std::max(found.silentMs, realMs_() - realBefore);
    at += taken;
    busyUntilMs_ = at;
    step.retuned = step.retuned || found.retuned;
    step.failure = found.failure;
    if (round.lost) {
      statistics_.searchMs += taken;
    } else {
      statistics_.silentMs += found.silentMs;
      statistics_.longestSilentMs = std::max(statistics_.longestSilentMs, found.silentMs);
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
  if (!over) return step;
  step.move = round.best;
  const bool lost = round.lost;
  round_.reset();
  lastRoundMs_ = nowMs;
  if (step.move) {
    ++statistics_.switches;
    if (lost) lostSinceMs_.reset();
  }
  return step;
}

AfStep AfFollower::Step(int64_t nowMs, int32_t frequency, int level, const FollowedProgramme& heard,
                        AfProbe& probe) {
  if (heard.pi && (!programme_ || *heard.pi == *programme_)) {
    programme_ = heard.pi;
    if (!heard.afs.empty()) alternatives_ = heard.afs;
  }
  if (!enabled_ || !programme_) return {};
  if (round_) {
    // A round made for a station that has since come back is of no more use.
    const bool stillNeeded = round_->lost ? level >= kAfNoSignal : level >= kAfWeakLevel;
    if (stillNeeded) return GoOn(nowMs, frequency, probe);
    round_.reset();
    lastRoundMs_ = nowMs;
  }
  const int64_t hold = level >= kAfNoSignal ? kAfSearchHoldMs : kAfHoldMs;
  if (lastRoundMs_ && nowMs - *lastRoundMs_ < hold) return {};

  if (level >= kAfNoSignal) {
    if (!lostSinceMs_) lostSinceMs_ = nowMs;
    weakSinceMs_.reset();
    if (nowMs - *lostSinceMs_ < kAfLostForMs) return {};
    // Out of the tunnel: the programme's alternatives first, then a few of the band's channels.
    std::vector<int32_t> candidates = alternatives_;
    const std::vector<int32_t> band = NextSearchChannels(frequency);
    candidates.insert(candidates.end(), band.begin(), band.end());
    StartRound(nowMs, std::move(candidates), alternatives_.size(), true, kAfNoSignal - 1);
    return GoOn(nowMs, frequency, probe);
  }
  lostSinceMs_.reset();
  if (level < kAfWeakLevel || alternatives_.empty()) {
    weakSinceMs_.reset();
    return {};
  }
  if (!weakSinceMs_) weakSinceMs_ = nowMs;
  if (nowMs - *weakSinceMs_ < kAfWeakForMs) return {};
  StartRound(nowMs, alternatives_, alternatives_.size(), false, level - kAfHysteresis);
  return GoOn(nowMs, frequency, probe);
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
