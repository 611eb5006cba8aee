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
#include "rds/twice_alike.h"

namespace halvane::driver::rds {

struct OtherNetwork {
  std::array<TwiceAlike<std::array<uint8_t, 2>>, 4> psSegments;
  AfListDecoder afs;                  // variant 4: the other programme's AF list
  std::map<int32_t, int32_t> mapped;  // variants 5..9: tuned frequency -> its frequency
  TwiceAlike<uint8_t> pty;
  TwiceAlike<bool> tp;
  TwiceAlike<bool> ta;
  TwiceAlike<uint16_t> linkage;

  // The name once all four segments are confirmed.
  std::optional<std::array<uint8_t, 8>> Ps() const;
};

class OtherNetworks {
 public:
  // One 14A or 14B group; blocks C and D only when usable (14B carries the tuned PI in C).
  void Feed(uint16_t blockB, std::optional<uint16_t> blockC, std::optional<uint16_t> blockD);
  void Clear() { networks_.clear(); }

  const std::map<uint16_t, OtherNetwork>& networks() const { return networks_; }
  // True when a linked programme (its TP confirmed) announces traffic now.
  bool TrafficAnnounced() const;

 private:
  std::map<uint16_t, OtherNetwork> networks_;
};

}  // namespace halvane::driver::rds

#endif
