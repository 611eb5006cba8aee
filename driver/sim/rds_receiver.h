// The RDS side of the simulated tuner: receives the tuned station's groups as the driver clock
// moves on, decodes them, and keeps count of the damaged blocks.
#ifndef HALVANE_DRIVER_SIM_RDS_RECEIVER_H
#define HALVANE_DRIVER_SIM_RDS_RECEIVER_H

#include <cstdint>
#include <deque>
#include <optional>

#include "band/station.h"
#include "rds/group_decoder.h"

namespace halvane::driver::sim {

// A call that finds the clock far ahead only simulates the groups of the last few seconds, so it
// never blocks; the data assembled from them is what a receiver would hold by then anyway.
inline constexpr uint64_t kMaxCatchUpGroups = 64;  // about 5.6 s
// RDS_EvalData reports data only while a valid group came within this time.
inline constexpr int64_t kFreshnessMs = 500;
// The decoder-state count of damaged blocks covers this much time and saturates at 7 bits.
inline constexpr int64_t kErrorWindowMs = 1000;
inline constexpr uint32_t kMaxErrorCount = 127;

class RdsReceiver {
 public:
  // A new station from `now_ms` on: the decoder forgets everything and the station's groups
  // count from its first again.
  void Retune(int64_t now_ms);

  // Decoding on or off. Groups sent while it is off are never received.
  void Start(int64_t now_ms);
  void Stop();
  bool running() const { return running_; }

  // Receives every group of `station` that has fully arrived by `now_ms` (nothing when no
  // station or a station without RDS is tuned).
  void CatchUp(const band::Station* station, int64_t now_ms);

  // Blocks lost or uncorrectable in the last second, at most kMaxErrorCount.
  uint32_t DamagedBlocksInLastSecond(int64_t now_ms) const;

  // True while the decoder holds the station's data and a valid group came in the last 500 ms.
  bool HasFreshData(int64_t now_ms) const;

  const rds::GroupDecoder& decoder() const { return decoder_; }

 private:
  bool running_ = false;
  int64_t tuned_at_ms_ = 0;
  uint64_t next_group_ = 0;  // index of the first group not yet received
  rds::GroupDecoder decoder_;
  std::deque<int64_t> damaged_at_ms_;  // arrival time of each damaged block, oldest first
  std::optional<int64_t> last_valid_ms_;
};

}  // namespace halvane::driver::sim

#endif
