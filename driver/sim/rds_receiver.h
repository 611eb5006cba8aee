// The RDS side of the simulated tuner: receives the tuned station's groups as the driver clock
// moves on and hands them to the decoder.
#ifndef HALVANE_DRIVER_SIM_RDS_RECEIVER_H
#define HALVANE_DRIVER_SIM_RDS_RECEIVER_H

#include <cstdint>

#include "band/station.h"
#include "rds/rds_monitor.h"

namespace halvane::driver::sim {

// A call that finds the clock far ahead only simulates the groups of the last few seconds, so it
// never blocks; the data assembled from them is what a receiver would hold by then anyway.
inline constexpr uint64_t kMaxCatchUpGroups = 64;  // about 5.6 s

class RdsReceiver {
 public:
  // A new station from `nowMs` on: the decoder forgets everything and the station's groups
  // count from its first again.
  void Retune(int64_t nowMs);
  // Another transmitter of the programme from `nowMs` on: its groups count from its first, and
  // what the decoder shows of the programme stays while they carry its PI.
  void Move(int64_t nowMs);

  // The radio's start, from which the stations' traffic schedules count.
  void SetRadioStart(int64_t atMs) { radioStartMs_ = atMs; }

  // Decoding on or off. Groups sent while it is off are never received.
  void Start(int64_t nowMs);
  void Stop();
  bool running() const { return running_; }

  // Receives every group of `station` that has fully arrived by `nowMs` (nothing when no
  // station or a station without RDS is tuned).
  // `level` is the station's level now.
  void CatchUp(const band::Station* station, int level, int64_t nowMs);

  const rds::RdsMonitor& monitor() const { return monitor_; }
  rds::RdsMonitor& monitor() { return monitor_; }

 private:
  bool running_ = false;
  int64_t tunedAtMs_ = 0;
  int64_t radioStartMs_ = 0;
  uint64_t nextGroup_ = 0;  // index of the first group not yet received
  rds::RdsMonitor monitor_;
};

}  // namespace halvane::driver::sim

#endif
