// Following the programme over its alternative frequencies. A V4L2 tuner has one front end, so
// an alternative is checked by a short muted jump: mute, tune, let the synthesiser settle, read
// the level and, only for a candidate strong enough to be taken, wait for its PI; then back and
// unmute. The policy (when to look, hysteresis, hold time, same PI only) is the shared follower's.
#include <algorithm>
#include <array>
#include <cerrno>
#include <span>

#include "frequency.h"
#include "rds/raw_blocks.h"
#include "result_codes.h"
#include "v4l2/v4l2_tuner.h"

namespace halvane::driver::v4l2 {
namespace {

// Block A comes once a group (87.6 ms): two groups and a little more, so one damaged group on
// the candidate does not make it fail, and a PI read from a corrected block can be confirmed.
constexpr int64_t kPiWaitMs = 200;
constexpr int kRdsPollMs = 20;
// A wait that does not move the clock (a device that answers at once) still ends.
constexpr int kMaxPiPolls = kPiWaitMs / kRdsPollMs + 2;

using RdsBuffer = std::array<uint8_t, 64 * rds::kRawRecordSize>;

}  // namespace

int32_t V4l2Tuner::Follow(int level) {
  if (tuned_ && !amTuned_ && rdsRunning_ && rdsSource_ == RdsSource::Blocks && !rdsOffThisTune_) {
    if (const auto move = traffic_.Step(clock_.NowMs(), monitor_, tuned_->value)) {
      return FollowTraffic(*move);
    }
    // On a linked programme's announcement the programme to follow is the one to come back to.
    if (traffic_.away()) return kOk;
  }
  // Following needs the AF list from the block decoder, and a mute control: a jump heard as a
  // click and a gap of noise is worse than staying.
  if (!follower_.enabled() || !tuned_ || amTuned_ || !hasMute_ || !rdsRunning_ ||
      rdsSource_ != RdsSource::Blocks || rdsOffThisTune_) {
    return kOk;
  }
  const rds::AfStep step = follower_.Step(clock_.NowMs(), tuned_->value, level,
                                          rds::ProgrammeOf(monitor_, tuned_->value), *this);
  if (step.failure != kOk) {
    return Refuse(kDeviceLost, "the device is gone (stop and start the radio once it is back)");
  }
  if (!step.move) return kOk;
  // The follower keeps the programme; what the radio shows of it stays.
  return Tune(*step.move, true);
}

int32_t V4l2Tuner::FollowTraffic(const rds::TrafficMove& move) {
  if (const int32_t code = Tune(move.frequency); code != kOk) return code;
  if (move.programme) monitor_.TakeOver(*move.programme, clock_.NowMs());
  return kOk;
}

int32_t V4l2Tuner::SetTraffic(bool on) {
  TunerBackend::SetTraffic(on);
  traffic_.SetEnabled(on);
  if (on || !tuned_ || lost_) return kOk;
  const auto back = traffic_.Return();
  return back ? FollowTraffic(*back) : kOk;
}

rds::AfCheck V4l2Tuner::Check(const rds::AfCandidate& candidate) {
  const DeviceBand* band = BandFor(candidate.frequency);
  if (lost_) return Gone();
  if (band == nullptr || !tuned_) return {};
  // What the station sent so far is its own: decode it before leaving. Only the device's loss
  // fails it.
  if (PumpRds() != kOk) return Gone();
  const int64_t start = clock_.NowMs();
  const bool unmuteAfter = !muted_;
  if (unmuteAfter && device_->SetControl(V4L2_CID_AUDIO_MUTE, 1) != 0) return {};

  rds::AfCheck found;
  v4l2_frequency jump{};
  jump.tuner = 0;
  jump.type = V4L2_TUNER_RADIO;
  jump.frequency = *HertzToUnits(Frequency(candidate.frequency).Hertz(), band->unit);
  if (device_->SetFrequency(jump) == 0) {
    DrainRds();  // blocks still queued from the station left
    device_->Settle();
    v4l2_tuner tuner{};
    tuner.index = 0;
    if (device_->GetTuner(tuner) == 0) {
      found.level = LevelOf(tuner);
      if (found.level <= candidate.mustBeat) found.pi = ReadPi(start + kPiWaitMs);
    }
  }

  // Back to the station whatever happened: its decoded data stay, the blocks in between go.
  v4l2_frequency back = jump;
  back.frequency = tuned_->units;
  const int backError = device_->SetFrequency(back);
  assembler_.Reset();
  pendingRds_.clear();
  afterVersionB_ = false;
  DrainRds();
  if (unmuteAfter) device_->SetControl(V4L2_CID_AUDIO_MUTE, 0);
  found.silentMs = clock_.NowMs() - start;
  if (backError != 0) {
    Failure(backError, "tuning back after checking an alternative frequency");
    // What was read there counts for nothing: the station is not back.
    rds::AfCheck failed = Gone();
    failed.silentMs = found.silentMs;
    return failed;
  }
  return found;
}

rds::AfCheck V4l2Tuner::Gone() const {
  rds::AfCheck check;
  if (lost_) check.failure = kDeviceLost;
  return check;
}

std::optional<uint16_t> V4l2Tuner::ReadPi(int64_t untilMs) {
  if (rdsSource_ != RdsSource::Blocks) return std::nullopt;
  // A PI from a block the chip corrected, or from a chip that never flags errors, needs a second
  // block A alike.
  rds::Confirmed<uint16_t> pi;
  std::vector<uint8_t> pending;
  RdsBuffer buffer;
  for (int poll = 0; poll < kMaxPiPolls && clock_.NowMs() < untilMs; ++poll) {
    size_t read = 0;
    const int error = device_->ReadRds(buffer, read);
    if (error != 0 && error != EAGAIN) return std::nullopt;
    if (read == 0) {
      device_->WaitRds(static_cast<int>(std::min<int64_t>(kRdsPollMs, untilMs - clock_.NowMs())));
      continue;
    }
    pending.insert(pending.end(), buffer.begin(), buffer.begin() + static_cast<long>(read));
    const size_t whole = pending.size() / rds::kRawRecordSize * rds::kRawRecordSize;
    for (const rds::RawBlock& block : rds::ParseRawBlockDump(std::span(pending).first(whole))) {
      if (block.position != rds::kRawPositionA || block.damaged()) continue;
      const bool intact = !block.corrected && !quirks_.neverFlagsBlockErrors;
      if (pi.Offer(block.info, intact)) return block.info;
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<long>(whole));
  }
  return std::nullopt;
}

}  // namespace halvane::driver::v4l2
