#include "sim/rds_receiver.h"

#include <algorithm>

#include "sim/rds_timing.h"
#include "sim/reception.h"

namespace halvane::driver::sim {

void RdsReceiver::Retune(int64_t now_ms) {
  decoder_.Clear();
  damaged_at_ms_.clear();
  last_valid_ms_.reset();
  tuned_at_ms_ = now_ms;
  next_group_ = 0;
}

void RdsReceiver::Start(int64_t now_ms) {
  if (running_) return;
  running_ = true;
  next_group_ = std::max(next_group_, GroupsArrived(now_ms - tuned_at_ms_));
}

void RdsReceiver::Stop() { running_ = false; }

void RdsReceiver::CatchUp(const band::Station* station, int64_t now_ms) {
  if (!running_ || station == nullptr || !station->has_rds()) return;
  const uint64_t arrived = GroupsArrived(now_ms - tuned_at_ms_);
  if (arrived > next_group_ + kMaxCatchUpGroups) next_group_ = arrived - kMaxCatchUpGroups;
  for (; next_group_ < arrived; ++next_group_) {
    const int64_t at_ms = tuned_at_ms_ + GroupArrivalMs(next_group_);
    const rds::ReceivedGroup group = rds::DecodeAirGroup(ReceiveGroup(*station, next_group_));
    for (int i = 0; i < group.unusable_count(); ++i) damaged_at_ms_.push_back(at_ms);
    if (decoder_.Feed(group)) last_valid_ms_ = at_ms;
  }
  while (!damaged_at_ms_.empty() && damaged_at_ms_.front() <= now_ms - kErrorWindowMs) {
    damaged_at_ms_.pop_front();
  }
}

uint32_t RdsReceiver::DamagedBlocksInLastSecond(int64_t now_ms) const {
  const auto recent = std::count_if(damaged_at_ms_.begin(), damaged_at_ms_.end(),
                                    [&](int64_t at) { return at > now_ms - kErrorWindowMs; });
  return std::min(static_cast<uint32_t>(recent), kMaxErrorCount);
}

bool RdsReceiver::HasFreshData(int64_t now_ms) const {
  return decoder_.has_data() && last_valid_ms_ && now_ms - *last_valid_ms_ <= kFreshnessMs;
}

}  // namespace halvane::driver::sim
