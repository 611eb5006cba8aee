// Groups 14A and 14B: enhanced other networks. A station tells of other programmes (by their PI):
// their names, frequencies, programme type and traffic flags, and which of them link to it.
#ifndef HALVANE_DRIVER_RDS_OTHER_NETWORKS_H
#define HALVANE_DRIVER_RDS_OTHER_NETWORKS_H

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "rds/af_codes.h"
#include "rds/confirmation.h"
#include "rds/received_group.h"

namespace halvane::driver::rds {

// What one other programme's groups confirmed: values twice alike or once from blocks that
// needed no correction; the flags (PTY, TP, TA) from two groups in a row that agree.
struct OtherNetwork {
  std::array<Confirmed<std::array<uint8_t, 2>>, 4> psSegments;
  AfListDecoder afs;                             // variant 4: the other programme's AF list
  std::map<int32_t, Confirmed<int32_t>> mapped;  // variants 5..9: tuned frequency -> its frequency
  Confirmed<uint8_t> pty;
  Confirmed<bool> tp;
  Confirmed<bool> ta;
  Confirmed<uint16_t> linkage;

  // The name once all four segments are confirmed.
  std::optional<std::array<uint8_t, 8>> Ps() const;
};

struct StationState;

class OtherNetworks {
 public:
  // One 14A or 14B group (14B carries the tuned PI in C'). A programme is taken into the list
  // only when its PI (block D) arrived without correction; a corrected PI may add to a programme
  // already known but never invents one.
  void Feed(const ReceivedGroup& group);

  const std::map<uint16_t, OtherNetwork>& networks() const { return networks_; }
  // True when a linked programme (its TP confirmed) announces traffic now.
  bool TrafficAnnounced() const;
  // The programme `pi` was heard on its own frequency to end its announcement: its TA is off,
  // whatever the station told before (its 14B switch may have come while the tuner was away).
  void AnnouncementEnded(uint16_t pi);

 private:
  std::map<uint16_t, OtherNetwork> networks_;
};

void DecodeOtherNetworks(const ReceivedGroup& group, StationState& station);

}  // namespace halvane::driver::rds

#endif
