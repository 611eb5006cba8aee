// RDS: blocks read from the device node, or the device's own decoding read from its controls.
#include <array>
#include <cerrno>

#include "rds/extended_report.h"
#include "rds/group.h"
#include "rds/record_writer.h"
#include "result_codes.h"
#include "v4l2/rds_controls.h"
#include "v4l2/v4l2_tuner.h"

namespace halvane::driver::v4l2 {
namespace {

// One call reads at most this many records, so a flood of RDS never holds up the caller.
constexpr size_t kRecordsPerRead = 128;
constexpr int kMaxReadsPerCall = 4;

using RdsBuffer = std::array<uint8_t, kRecordsPerRead * rds::kRawRecordSize>;

}  // namespace

int32_t V4l2Tuner::RdsReadFailure(int error) {
  // Another handle owns RDS (EBUSY), the device delivers it as controls (EINVAL), ...: the tune
  // stands, without RDS until the next one. Only the device's loss fails the caller.
  if (error == ENODEV || error == ENXIO || error == EIO) {
    v4l2_capability capabilities{};
    const int check = device_->QueryCapabilities(capabilities);
    if (check == ENODEV || check == ENXIO) return Failure(error, "reading RDS");
  }
  rdsOffThisTune_ = true;
  return kOk;
}

int32_t V4l2Tuner::ResetRds(bool sameProgramme) {
  assembler_.Reset();
  confirmation_.Reset();
  if (sameProgramme) {
    monitor_.Restart(clock_.NowMs());
  } else {
    monitor_.Clear();
  }
  pendingRds_.clear();
  afterVersionB_ = false;
  rdsOffThisTune_ = false;
  return DrainRds();
}

int32_t V4l2Tuner::DrainRds() {
  if (rdsSource_ != RdsSource::Blocks || rdsOffThisTune_) return kOk;
  return ReadBlocks(std::nullopt);
}

void V4l2Tuner::TakeBlock(rds::RawBlock block, int64_t now) {
  // C' only ever follows block B of a version B group. wl128x hands over the E blocks of other
  // services as position 4 too: they belong to no group.
  const bool cPrimeAllowed = afterVersionB_;
  afterVersionB_ =
      block.position == rds::kRawPositionB && !block.error && rds::IsVersionB(block.info);
  if (block.position == rds::kRawPositionCPrime && !cPrimeAllowed) return;
  if (block.damaged()) monitor_.OnDamagedBlocks(1, now);
  assembler_.Add(block, [&](const rds::ReceivedGroup& group) {
    if (quirks_.neverFlagsBlockErrors && !confirmation_.Confirm(group)) return;
    monitor_.OnGroup(group, now, 0);
  });
}

int32_t V4l2Tuner::ReadBlocks(std::optional<int64_t> now) {
  RdsBuffer buffer;
  for (int i = 0; i < kMaxReadsPerCall; ++i) {
    size_t read = 0;
    const int error = device_->ReadRds(buffer, read);
    if (error == EAGAIN) break;
    if (error != 0) return RdsReadFailure(error);
    if (read == 0) break;
    if (!now) continue;  // discarded
    pendingRds_.insert(pendingRds_.end(), buffer.begin(), buffer.begin() + read);
    const size_t whole = pendingRds_.size() / rds::kRawRecordSize * rds::kRawRecordSize;
    for (const rds::RawBlock& block : rds::ParseRawBlockDump(std::span(pendingRds_).first(whole))) {
      TakeBlock(block, *now);
    }
    pendingRds_.erase(pendingRds_.begin(),
                      pendingRds_.begin() + static_cast<std::ptrdiff_t>(whole));
  }
  return kOk;
}

int32_t V4l2Tuner::PumpRds() {
  const int64_t now = clock_.NowMs();
  if (rdsSource_ == RdsSource::Blocks && rdsRunning_ && !rdsOffThisTune_) {
    if (const int32_t result = ReadBlocks(now); result != kOk) return result;
  }
  monitor_.Expire(now);
  return kOk;
}

int32_t V4l2Tuner::StartRds() {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  if (rdsRunning_) return kOk;
  rdsRunning_ = true;
  // Blocks queued while decoding was off are out of date.
  assembler_.Reset();
  pendingRds_.clear();
  afterVersionB_ = false;
  return DrainRds();
}

int32_t V4l2Tuner::StopRds() {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  const int32_t result = PumpRds();
  rdsRunning_ = false;
  return result;
}

int32_t V4l2Tuner::GetDecoderState(uint32_t& state) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  v4l2_tuner tuner{};
  if (const int32_t result = ReadTuner(tuner); result != kOk) return result;
  if (const int32_t result = PumpRds(); result != kOk) return result;
  if (const int32_t result = Follow(LevelOf(tuner)); result != kOk) return result;
  const uint32_t level = rdsRunning_ ? static_cast<uint32_t>(LevelOf(tuner)) : 15;
  state = DecoderStateWord(level, monitor_.DamagedBlocksInLastSecond(clock_.NowMs()));
  return kOk;
}

int32_t V4l2Tuner::EvalControls(RdsRecord& record) {
  if (rdsOffThisTune_) return kRdsNoData;
  rds::RdsData data;
  bool received = false;
  if (const int error = ReadRdsControls(*device_, data, received); error != 0) {
    const int32_t result = RdsReadFailure(error);
    return result != kOk ? result : kRdsNoData;
  }
  if (!received) return kRdsNoData;
  record = rds::MakeRecord(data);
  return kOk;
}

int32_t V4l2Tuner::EvalData(RdsRecord& record) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  if (!rdsRunning_) return kRdsStopped;
  if (rdsSource_ == RdsSource::Controls) return EvalControls(record);
  if (const int32_t result = PumpRds(); result != kOk) return result;
  if (!monitor_.decoder().HasData()) return kRdsNoData;
  if (!monitor_.HasFreshData(clock_.NowMs())) return kRdsStale;
  record = rds::MakeRecord(monitor_.decoder().data());
  return kOk;
}

int32_t V4l2Tuner::ExtendedRds(std::string& report) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  report.clear();
  // Devices that decode RDS themselves hand over PS and RadioText only.
  if (!rdsRunning_ || rdsSource_ == RdsSource::Controls) return kOk;
  int32_t frequency = 0;
  if (GetFrequency(frequency) != kOk) frequency = 0;
  report = rds::MonitorReport(monitor_, frequency);
  if (!report.empty()) report += rds::FollowReport(follower_.statistics());
  return kOk;
}

}  // namespace halvane::driver::v4l2
