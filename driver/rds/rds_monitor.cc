#include "rds/rds_monitor.h"

#include <algorithm>

namespace halvane::driver::rds {

void RdsMonitor::Clear() {
  decoder_.Clear();
  extended_.Clear();
  damagedAtMs_.clear();
  lastValidMs_.reset();
}

void RdsMonitor::OnGroup(const ReceivedGroup& group, int64_t atMs, int damagedBlocks) {
  OnDamagedBlocks(damagedBlocks, atMs);
  const uint16_t pi = decoder_.data().pi;
  const bool taken = decoder_.Feed(group);
  // The decoder started over with another station: so does everything else it sent.
  if (taken && decoder_.data().pi != pi) extended_.Clear();
  extended_.Feed(group, taken, decoder_.data().rt);
  if (taken) lastValidMs_ = atMs;
}

void RdsMonitor::OnDamagedBlocks(int count, int64_t atMs) {
  for (int i = 0; i < count; ++i) damagedAtMs_.push_back(atMs);
  // More than the count can show never matters: keep the newest only.
  while (damagedAtMs_.size() > kMaxErrorCount) damagedAtMs_.pop_front();
}

void RdsMonitor::Expire(int64_t nowMs) {
  while (!damagedAtMs_.empty() && damagedAtMs_.front() <= nowMs - kErrorWindowMs) {
    damagedAtMs_.pop_front();
  }
}

uint32_t RdsMonitor::DamagedBlocksInLastSecond(int64_t nowMs) const {
  const auto recent = std::count_if(damagedAtMs_.begin(), damagedAtMs_.end(),
                                    [&](int64_t at) { return at > nowMs - kErrorWindowMs; });
  return std::min(static_cast<uint32_t>(recent), kMaxErrorCount);
}

bool RdsMonitor::HasFreshData(int64_t nowMs) const {
  return decoder_.HasData() && lastValidMs_ && nowMs - *lastValidMs_ <= kFreshnessMs;
}

}  // namespace halvane::driver::rds
