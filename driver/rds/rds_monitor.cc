#include "rds/rds_monitor.h"

#include <algorithm>

namespace halvane::driver::rds {

void RdsMonitor::Clear() {
  decoder_.Clear();
  damaged_at_ms_.clear();
  last_valid_ms_.reset();
}

void RdsMonitor::OnGroup(const ReceivedGroup& group, int64_t at_ms, int damaged_blocks) {
  OnDamagedBlocks(damaged_blocks, at_ms);
  if (decoder_.Feed(group)) last_valid_ms_ = at_ms;
}

void RdsMonitor::OnDamagedBlocks(int count, int64_t at_ms) {
  for (int i = 0; i < count; ++i) damaged_at_ms_.push_back(at_ms);
  // More than the count can show never matters: keep the newest only.
  while (damaged_at_ms_.size() > kMaxErrorCount) damaged_at_ms_.pop_front();
}

void RdsMonitor::Expire(int64_t now_ms) {
  while (!damaged_at_ms_.empty() && damaged_at_ms_.front() <= now_ms - kErrorWindowMs) {
    damaged_at_ms_.pop_front();
  }
}

uint32_t RdsMonitor::DamagedBlocksInLastSecond(int64_t now_ms) const {
  const auto recent = std::count_if(damaged_at_ms_.begin(), damaged_at_ms_.end(),
                                    [&](int64_t at) { return at > now_ms - kErrorWindowMs; });
  return std::min(static_cast<uint32_t>(recent), kMaxErrorCount);
}

bool RdsMonitor::HasFreshData(int64_t now_ms) const {
  return decoder_.has_data() && last_valid_ms_ && now_ms - *last_valid_ms_ <= kFreshnessMs;
}

}  // namespace halvane::driver::rds
