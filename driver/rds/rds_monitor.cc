#include "rds/rds_monitor.h"

#include <algorithm>

namespace halvane::driver::rds {

void RdsMonitor::Clear() {
  decoder_.Clear();
  extended_.Clear();
  damaged_at_ms_.clear();
  last_valid_ms_.reset();
}

void RdsMonitor::OnGroup(const ReceivedGroup& group, int64_t atMs, int damagedBlocks) {
  OnDamagedBlocks(damagedBlocks, atMs);
  const uint16_t pi = decoder_.data().pi;
  const bool taken = decoder_.Feed(group);
  // The decoder started over with another station: so does everything else it sent.
  if (taken && decoder_.data().pi != pi) extended_.Clear();
  extended_.Feed(group, taken, decoder_.data().rt);
  if (taken) last_valid_ms_ = atMs;
}

void RdsMonitor::OnDamagedBlocks(int count, int64_t atMs) {
  for (int i = 0; i < count; ++i) damaged_at_ms_.push_back(atMs);
  // More than the count can show never matters: keep the newest only.
  while (damaged_at_ms_.size() > kMaxErrorCount) damaged_at_ms_.pop_front();
}

void RdsMonitor::Expire(int64_t nowMs) {
  while (!damaged_at_ms_.empty() && damaged_at_ms_.front() <= nowMs - kErrorWindowMs) {
    damaged_at_ms_.pop_front();
  }
}

uint32_t RdsMonitor::DamagedBlocksInLastSecond(int64_t nowMs) const {
  const auto recent = std::count_if(damaged_at_ms_.begin(), damaged_at_ms_.end(),
                                    [&](int64_t at) { return at > nowMs - kErrorWindowMs; });
  return std::min(static_cast<uint32_t>(recent), kMaxErrorCount);
}

bool RdsMonitor::HasFreshData(int64_t nowMs) const {
  return decoder_.HasData() && last_valid_ms_ && nowMs - *last_valid_ms_ <= kFreshnessMs;
}

}  // namespace halvane::driver::rds
