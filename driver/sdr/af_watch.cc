#include "sdr/af_watch.h"

#include <algorithm>
#include <cmath>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// The channel filter's transition band stays inside the samples' band by this share of the rate.
constexpr double kEdgeShare = 0.05;

}  // namespace

double ReachHz(double sampleRate) {
  return std::max(0.0, sampleRate / 2 - kChannelHalfWidthHz - kEdgeShare * sampleRate);
}

void AfWatch::Watch(const std::vector<std::pair<int32_t, double>>& candidates) {
  const double reach = ReachHz(options_.sampleRate);
  std::vector<Watched> next;
  for (const auto& candidate : candidates) {
    const int32_t frequency = candidate.first;
    const double offsetHz = candidate.second;
    if (next.size() >= kMaxWatched) break;
    if (std::abs(offsetHz) > reach) continue;
    auto same = std::find_if(watched_.begin(), watched_.end(), [&](const Watched& w) {
      return w.frequency == frequency && w.offsetHz == offsetHz && w.receiver;
    });
    if (same != watched_.end()) {
      next.push_back(std::move(*same));
      continue;
    }
    auto receiver = std::make_unique<Receiver>(options_);
    receiver->Tune(offsetHz);
    next.push_back({frequency, offsetHz, std::move(receiver)});
  }
  watched_ = std::move(next);
}

bool AfWatch::Watching(int32_t frequency) const {
  return std::any_of(watched_.begin(), watched_.end(),
                     [&](const Watched& w) { return w.frequency == frequency; });
}

void AfWatch::Process(std::span<const Complex> iq, int64_t endMs) {
  for (Watched& w : watched_) {
    discarded_.clear();
    w.receiver->Process(iq, endMs, true, discarded_);
  }
}

rds::AfCheck AfWatch::Check(int32_t frequency, int64_t nowMs) const {
  for (const Watched& w : watched_) {
    if (w.frequency != frequency) continue;
    rds::AfCheck check;
    check.level = w.receiver->Level(nowMs);
    const rds::RdsMonitor& monitor = w.receiver->monitor();
    if (monitor.HasFreshData(nowMs)) check.pi = monitor.decoder().data().pi;
    return check;
  }
  return {};
}

std::unique_ptr<Receiver> AfWatch::Take(int32_t frequency) {
  for (auto it = watched_.begin(); it != watched_.end(); ++it) {
    if (it->frequency != frequency) continue;
    std::unique_ptr<Receiver> receiver = std::move(it->receiver);
    watched_.erase(it);
    return receiver;
  }
  return nullptr;
}

}  // namespace halvane::driver::sdr
