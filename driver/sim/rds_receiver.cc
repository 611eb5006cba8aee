#include "sim/rds_receiver.h"

#include <algorithm>

#include "sim/rds_timing.h"
#include "sim/reception.h"

namespace halvane::driver::sim {

void RdsReceiver::Retune(int64_t now_ms) {
  monitor_.Clear();
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
  if (running_ && station != nullptr && station->has_rds()) {
    const uint64_t arrived = GroupsArrived(now_ms - tuned_at_ms_);
    if (arrived > next_group_ + kMaxCatchUpGroups) next_group_ = arrived - kMaxCatchUpGroups;
    for (; next_group_ < arrived; ++next_group_) {
      const rds::ReceivedGroup group = rds::DecodeAirGroup(ReceiveGroup(*station, next_group_));
      monitor_.OnGroup(group, tuned_at_ms_ + GroupArrivalMs(next_group_), group.unusable_count());
    }
  }
  monitor_.Expire(now_ms);
}

}  // namespace halvane::driver::sim
