#include "rds/rds_monitor.h"

#include <algorithm>

namespace halvane::driver::rds {

void RdsMonitor::Clear() {
  decoder_.Clear();
  statistics_ = {};
  damagedAtMs_.clear();
  lastValidMs_.reset();
}

void RdsMonitor::Restart(int64_t nowMs) {
  decoder_.Restart();
  damagedAtMs_.clear();
  if (decoder_.HasData()) {
    lastValidMs_ = nowMs;
  } else {
    Clear();
  }
}

void RdsMonitor::TakeOver(const RdsMonitor& programme, int64_t nowMs) {
  if (!programme.decoder_.HasData()) return;
  std::deque<int64_t> damaged = std::move(damagedAtMs_);
  *this = programme;
  Restart(nowMs);
  damagedAtMs_ = std::move(damaged);
}

void RdsMonitor::OnGroup(const ReceivedGroup& group, int64_t atMs, int damagedBlocks) {
  OnDamagedBlocks(damagedBlocks, atMs);
  const std::optional<uint16_t> pi =
      decoder_.HasData() ? std::optional<uint16_t>(decoder_.data().pi) : std::nullopt;
  const bool taken = decoder_.Feed(group);
  // The decoder started over with another station: so do its statistics.
  if (taken && pi && decoder_.data().pi != *pi) statistics_ = {};
  statistics_.blocks += kBlocksPerGroup;
  statistics_.damagedBlocks += static_cast<uint64_t>(group.UnusableCount());
  if (!taken) return;
  const uint16_t b = group.blocks[1];
  ++statistics_.groups[static_cast<size_t>(GroupTypeCode(b)) * 2 + (IsVersionB(b) ? 1 : 0)];
  lastValidMs_ = atMs;
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
