// Takes the listener to a linked programme's traffic announcement and back, as a car radio does.
// The tuned station tells of other programmes (enhanced other networks, 14A/14B): when one that
// carries traffic (TP) starts an announcement (TA), and traffic is on, the radio goes to that
// programme's frequency for the announcement's length, then back to the programme it played,
// whose data stay held meanwhile. An alarm (programme type 31) of a linked programme takes the
// radio there whether traffic is on or not.
//
// The logic is the backend's to drive, like the AF follower's: at every status poll it hands
// over the tuned station's RDS and tunes where it is told.
#ifndef HALVANE_DRIVER_RDS_TRAFFIC_FOLLOWER_H
#define HALVANE_DRIVER_RDS_TRAFFIC_FOLLOWER_H

#include <cstdint>
#include <optional>
#include <set>

#include "rds/rds_monitor.h"

namespace halvane::driver::rds {

inline constexpr uint8_t kAlarmPty = 31;
// On the linked programme: nothing of it (its PI) received this long, and the radio goes back.
inline constexpr int64_t kTrafficNotHeardMs = 3000;

// A seek with traffic on stops only on stations that carry traffic. It listens to a station
// the signal says is there for at most this long for its TP: the demodulator's lock and two
// groups alike (175 ms), with room for damaged ones.
inline constexpr int64_t kTrafficFlagWaitMs = 600;

// Whether a seek from `frequency` with traffic `on` stops only on traffic programmes: on FM,
// whose stations tell it by RDS. AM carries no RDS, and its seek stops on any station.
bool SeekWantsTraffic(bool on, int32_t frequency);
// The station's TP once its PI and the flag are confirmed; nothing while not yet known.
std::optional<bool> CarriesTraffic(const RdsMonitor& monitor);

struct TrafficMove {
  int32_t frequency = 0;
  // Set when going back: what the programme showed before it was left, to be shown again.
  std::optional<RdsMonitor> programme;
};

class TrafficFollower {
 public:
  void SetEnabled(bool on) { enabled_ = on; }
  bool enabled() const { return enabled_; }
  // The person tuned: whatever announcement was followed is left where it is.
  void Tuned();
  // The person asks to go back before the announcement ends: the move back, if away.
  std::optional<TrafficMove> Return();

  // At every status poll, with the tuned station's RDS: where to tune now, if anywhere.
  std::optional<TrafficMove> Step(int64_t nowMs, const RdsMonitor& monitor, int32_t tuned);

  // True while the radio plays a linked programme's announcement.
  bool away() const { return away_.has_value(); }

 private:
  struct Away {
    int32_t home = 0;      // the frequency of the programme that was playing
    uint16_t pi = 0;       // the linked programme announcing
    RdsMonitor programme;  // what the programme that was playing showed
    int64_t heardMs = 0;   // when the linked programme was last received
  };
  std::optional<TrafficMove> Leave(int64_t nowMs, const RdsMonitor& monitor, int32_t tuned);
  std::optional<TrafficMove> Watch(int64_t nowMs, const RdsMonitor& monitor);

  bool enabled_ = false;
  std::optional<Away> away_;
  // Linked programmes whose announcement was followed (or left by the person): not again until
  // the station tells that it ended.
  std::set<uint16_t> done_;
};

}  // namespace halvane::driver::rds

#endif
