#include "sim/rds_receiver.h"

#include <algorithm>

#include "sim/rds_timing.h"
#include "sim/reception.h"

namespace halvane::driver::sim {

void RdsReceiver::Retune(int64_t nowMs) {
  monitor_.Clear();
  tuned_at_ms_ = nowMs;
  next_group_ = 0;
}

void RdsReceiver::Start(int64_t nowMs) {
  if (running_) return;
  running_ = true;
  next_group_ = std::max(next_group_, GroupsArrived(nowMs - tuned_at_ms_));
}

void RdsReceiver::Stop() { running_ = false; }

void RdsReceiver::CatchUp(const band::Station* station, int level, int64_t nowMs) {
  if (running_ && station != nullptr && station->HasRds()) {
    const uint64_t arrived = GroupsArrived(nowMs - tuned_at_ms_);
    if (arrived > next_group_ + kMaxCatchUpGroups) next_group_ = arrived - kMaxCatchUpGroups;
    for (; next_group_ < arrived; ++next_group_) {
      // The simulated channel only ever damages a block in ways the code tells apart (see
      // ReceptionError), so every burst it can correct is corrected right.
      const rds::ReceivedGroup group = rds::DecodeAirGroup(
          ReceiveGroup(*station, next_group_, level), rds::kMaxCorrectableBurst);
      monitor_.OnGroup(group, tuned_at_ms_ + GroupArrivalMs(next_group_), group.UnusableCount());
    }
  }
  monitor_.Expire(nowMs);
}

}  // namespace halvane::driver::sim
