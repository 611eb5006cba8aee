#include "sim/rds_receiver.h"

#include <algorithm>

#include "sim/rds_timing.h"
#include "sim/reception.h"

namespace halvane::driver::sim {

void RdsReceiver::Retune(int64_t nowMs) {
  monitor_.Clear();
  tunedAtMs_ = nowMs;
  nextGroup_ = 0;
}

void RdsReceiver::Move(int64_t nowMs) {
  monitor_.Restart(nowMs);
  tunedAtMs_ = nowMs;
  nextGroup_ = 0;
}

void RdsReceiver::Start(int64_t nowMs) {
  if (running_) return;
  running_ = true;
  nextGroup_ = std::max(nextGroup_, GroupsArrived(nowMs - tunedAtMs_));
}

void RdsReceiver::Stop() { running_ = false; }

void RdsReceiver::CatchUp(const band::Station* station, int level, int64_t nowMs) {
  if (running_ && station != nullptr && station->HasRds()) {
    const uint64_t arrived = GroupsArrived(nowMs - tunedAtMs_);
    if (arrived > nextGroup_ + kMaxCatchUpGroups) nextGroup_ = arrived - kMaxCatchUpGroups;
    for (; nextGroup_ < arrived; ++nextGroup_) {
      // The simulated channel only ever damages a block in ways the code tells apart (see
      // ReceptionError), so every burst it can correct is corrected right.
      const rds::ReceivedGroup group =
          rds::DecodeAirGroup(ReceiveGroup(*station, nextGroup_, level, tunedAtMs_ - radioStartMs_),
                              rds::kMaxCorrectableBurst);
      monitor_.OnGroup(group, tunedAtMs_ + GroupArrivalMs(nextGroup_), group.UnusableCount());
    }
  }
  monitor_.Expire(nowMs);
}

}  // namespace halvane::driver::sim
