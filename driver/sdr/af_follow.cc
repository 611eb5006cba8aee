// Following the programme on the SDR tuner. While the station is weak, the alternatives inside
// the captured span are watched by receivers of their own on the same samples; the shared
// follower decides (hysteresis, hold time, same PI only) and a move hands the watched receiver
// over, so the sound goes on from the new transmitter without a gap. An alternative beyond the
// span is not checked while the station is heard: reaching it would move the tuner's centre, a
// gap the listener hears. Once the station is lost there is nothing to break: a search round
// retunes the source to each alternative not watched and to a few band channels, measures each,
// reads the PI of one strong enough to be taken, and tunes to the programme found or back.
#include <cmath>

#include "audio/playthrough_tuner.h"
#include "frequency.h"
#include "result_codes.h"
#include "sdr/sdr_tuner.h"

namespace halvane::driver::sdr {
namespace {

// A probed channel's PI is read from this much of its signal at most: the demodulator's lock
// and two groups (175 ms), with room for one damaged group. No read for it begins after this much
// real time either, counted from the level's samples (a source whose samples come late).
constexpr int64_t kProbePiMs = 500;
// The probe's samples come in pieces this long, so the reading stops soon after the PI is known.
constexpr int64_t kProbePieceMs = 25;

}  // namespace

rds::AfCheck SdrTuner::Check(const rds::AfCandidate& candidate) {
  // While the station is heard only the watched alternatives are checked: reaching any other
  // would move the centre and break the sound.
  if (!candidate.lost || watch_->Watching(candidate.frequency)) {
    return watch_->Check(candidate.frequency, clock_.NowMs());
  }
  return Probe(candidate);
}

rds::AfCheck SdrTuner::Probe(const rds::AfCandidate& candidate) {
  rds::AfCheck found;
  found.retuned = true;
  std::optional<double> offset;
  const int64_t now = clock_.NowMs();
  if (const int32_t code = source_->Tune(Frequency(candidate.frequency).Hertz(), now, offset);
      code != kOk) {
    found.failure = code;
    return found;
  }
  if (!offset) return found;
  const double rate = source_->SampleRate();
  const auto samplesFor = [rate](int64_t ms) {
    return static_cast<size_t>(rate * static_cast<double>(ms) / 1000);
  };
  const int64_t started = parts_.wallMs();
  probe_->Tune(*offset);
  iq_.clear();
  if (const int32_t code = source_->ReadNow(samplesFor(kSearchMeasureMs), iq_); code != kOk) {
    found.failure = code;
    return found;
  }
  probe_->Measure(iq_);
  found.level = LevelForCnr(probe_->CarrierToNoiseDb());
  int64_t readMs = kSearchMeasureMs;
  if (found.level <= candidate.mustBeat) {
    // The PI of a candidate strong enough to be taken, confirmed as the decoder confirms it.
    probe_->Tune(*offset);
    for (int64_t at = 0; at < kProbePiMs && parts_.wallMs() - started < kProbePiMs &&
                         !probe_->monitor().decoder().HasData();
         at += kProbePieceMs) {
      iq_.clear();
      if (const int32_t code = source_->ReadNow(samplesFor(kProbePieceMs), iq_); code != kOk) {
        found.failure = code;
        return found;
      }
      readMs += kProbePieceMs;
      sound_.clear();
      probe_->Process(iq_, now + at + kProbePieceMs, true, sound_);
    }
    if (probe_->monitor().decoder().HasData()) found.pi = probe_->monitor().decoder().data().pi;
  }
  // The samples' time is what the check cost (the station was lost: nobody heard the gap); the
  // follower charges the real time where that was longer.
  found.silentMs = readMs;
  return found;
}

int32_t SdrTuner::Follow(int64_t nowMs) {
  if (reachable_ && rdsOn_) {
    if (const auto move = traffic_.Step(nowMs, receiver_->monitor(), frequency_)) {
      watch_->Watch({});
      return FollowTraffic(*move, nowMs);
    }
    // On a linked programme's announcement the programme to follow is the one to come back to.
    if (traffic_.away()) {
      watch_->Watch({});
      return kOk;
    }
  }
  if (!follower_.enabled() || !reachable_ || !rdsOn_) {
    watch_->Watch({});
    return kOk;
  }
  const int level = receiver_->Level(nowMs);
  const rds::FollowedProgramme heard = rds::ProgrammeOf(receiver_->monitor(), frequency_);
  // Watching starts as the station weakens: the follower looks after a second of weakness, by
  // when the watchers have their PI confirmed (two groups, 175 ms).
  std::vector<std::pair<int32_t, double>> candidates;
  if (level >= rds::kAfWeakLevel) {
    for (int32_t frequency : heard.afs.empty() ? follower_.alternatives() : heard.afs) {
      if (frequency != frequency_) {
        candidates.emplace_back(frequency, static_cast<double>(frequency - centreHz_));
      }
    }
  }
  watch_->Watch(candidates);
  const rds::AfStep step = follower_.Step(nowMs, frequency_, level, heard, *this);
  if (step.retuned) {
    // The source was moved away: to the programme found through the regular tuning, else back
    // to where the station was lost (the follower keeps the programme and its alternatives).
    const rds::RdsMonitor held = receiver_->monitor();
    const int32_t back = Tune(step.move.value_or(frequency_));
    if (step.move) receiver_->monitor().TakeOver(held, nowMs);
    return step.failure != kOk ? step.failure : back;
  }
  if (!step.move) return kOk;
  std::unique_ptr<Receiver> receiver = watch_->Take(*step.move);
  if (!receiver) return kOk;  // only a watched alternative is ever chosen
  // The programme's data stay shown on the receiver that plays it from now on.
  receiver->monitor().TakeOver(receiver_->monitor(), nowMs);
  receiver_ = std::move(receiver);
  frequency_ = *step.move;
  audio_->SetTitle(audio::FrequencyTitle(frequency_));
  watch_->Watch({});
  return kOk;
}

int32_t SdrTuner::FollowTraffic(const rds::TrafficMove& move, int64_t nowMs) {
  const double offset = static_cast<double>(move.frequency) - static_cast<double>(centreHz_);
  if (std::abs(offset) <= ReachHz(source_->SampleRate())) {
    // Inside the captured span: the samples go on, so the sound does.
    frequency_ = move.frequency;
    receiver_->Tune(offset);
    audio_->SetTitle(audio::FrequencyTitle(frequency_));
  } else if (const int32_t code = Tune(move.frequency); code != kOk) {
    return code;
  }
  if (move.programme) receiver_->monitor().TakeOver(*move.programme, nowMs);
  return kOk;
}

int32_t SdrTuner::SetTraffic(bool on) {
  TunerBackend::SetTraffic(on);
  traffic_.SetEnabled(on);
  if (on || !initialized_ || failed_ != 0) return kOk;
  const auto back = traffic_.Return();
  return back ? FollowTraffic(*back, clock_.NowMs()) : kOk;
}

}  // namespace halvane::driver::sdr
