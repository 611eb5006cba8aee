// What a tuner's RDS side keeps besides the decoded data: when the last valid group came, how
// many damaged blocks arrived in the last second, and the station's group statistics. Shared by
// every backend.
#ifndef HALVANE_DRIVER_RDS_RDS_MONITOR_H
#define HALVANE_DRIVER_RDS_RDS_MONITOR_H

#include <cstdint>
#include <deque>
#include <optional>

#include "rds/group_decoder.h"
#include "rds/group_statistics.h"

namespace halvane::driver::rds {

// RDS_EvalData reports data only while a valid group came within this time.
inline constexpr int64_t kFreshnessMs = 500;
// The decoder-state count of damaged blocks covers this much time and saturates at 7 bits.
inline constexpr int64_t kErrorWindowMs = 1000;
inline constexpr uint32_t kMaxErrorCount = 127;

class RdsMonitor {
 public:
  // Forgets the station: decoded data, damaged blocks and the last valid group.
  void Clear();

  // The tuner moved to another transmitter of the programme, or restarted its demodulators, at
  // `nowMs`: the decoded data stay shown as fresh (the move was made for the programme's PI)
  // while the groups that come carry its PI; the damaged blocks counted were the other
  // transmitter's.
  void Restart(int64_t nowMs);
  // Goes on from what `programme` held: the receiver that played the programme until now is
  // replaced by this one (its decoding so far only served to check the PI).
  void TakeOver(const RdsMonitor& programme, int64_t nowMs);

  // A group that arrived at `atMs`, with `damagedBlocks` of its blocks lost or uncorrectable.
  void OnGroup(const ReceivedGroup& group, int64_t atMs, int damagedBlocks);
  // Damaged blocks that did not make up a group (for example a block of unknown position).
  void OnDamagedBlocks(int count, int64_t atMs);

  // Blocks lost or uncorrectable in the second before `nowMs`, at most kMaxErrorCount.
  uint32_t DamagedBlocksInLastSecond(int64_t nowMs) const;
  // True while the decoder holds the station's data and a valid group came in the last 500 ms.
  bool HasFreshData(int64_t nowMs) const;
  // Drops the damaged-block times that have left the window.
  void Expire(int64_t nowMs);

  void OtherAnnouncementEnded(uint16_t pi) { decoder_.OtherAnnouncementEnded(pi); }

  const GroupDecoder& decoder() const { return decoder_; }
  const GroupStatistics& statistics() const { return statistics_; }

 private:
  GroupDecoder decoder_;
  GroupStatistics statistics_;
  std::deque<int64_t> damagedAtMs_;  // arrival time of each damaged block, oldest first
  std::optional<int64_t> lastValidMs_;
};

}  // namespace halvane::driver::rds

#endif
