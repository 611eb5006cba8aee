// Following the programme on the SDR tuner. While the station is weak, the alternatives inside
// the captured span are watched by receivers of their own on the same samples; the shared
// follower decides (hysteresis, hold time, same PI only) and a move hands the watched receiver
// over, so the sound goes on from the new transmitter without a gap. An alternative beyond the
// span is not checked: reaching it would move the tuner's centre, a gap the listener hears.
#include "audio/playthrough_tuner.h"
#include "sdr/sdr_tuner.h"

namespace halvane::driver::sdr {

void SdrTuner::Follow(int64_t nowMs) {
  if (!follower_.enabled() || !reachable_ || !rdsOn_) {
    watch_->Watch({});
    return;
  }
  const int level = receiver_->Level(nowMs);
  const rds::RdsMonitor& monitor = receiver_->monitor();
  std::optional<uint16_t> pi;
  std::vector<int32_t> afs;
  if (monitor.decoder().HasData()) {
    pi = monitor.decoder().data().pi;
    // Regional variants carry another PI (their region code), which the follower never takes.
    if (const auto list = monitor.decoder().station().afs.ListFor(frequency_)) {
      for (const rds::AfEntry& entry : list->entries) {
        if (!entry.regional) afs.push_back(entry.frequency);
      }
    }
  }
  // Watching starts as the station weakens: the follower looks after a second of weakness, by
  // when the watchers have their PI confirmed (two groups, 175 ms).
  std::vector<std::pair<int32_t, double>> candidates;
  if (level >= rds::kAfWeakLevel) {
    for (int32_t frequency : afs.empty() ? follower_.alternatives() : afs) {
      if (frequency != frequency_) {
        candidates.emplace_back(frequency, static_cast<double>(frequency - centreHz_));
      }
    }
  }
  watch_->Watch(candidates);
  const std::optional<int32_t> move = follower_.Step(nowMs, frequency_, level, pi, afs, {});
  if (!move) return;
  std::unique_ptr<Receiver> receiver = watch_->Take(*move);
  if (!receiver) return;  // only a watched alternative is ever chosen
  receiver_ = std::move(receiver);
  frequency_ = *move;
  audio_->SetTitle(audio::FrequencyTitle(frequency_));
  watch_->Watch({});
}

}  // namespace halvane::driver::sdr
