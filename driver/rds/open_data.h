// Open data applications: group 3A registers an application by its identification (AID) and the
// group type it rides on; groups of that type then carry the application's data. RadioText+ is
// the one decoded here.
#ifndef HALVANE_DRIVER_RDS_OPEN_DATA_H
#define HALVANE_DRIVER_RDS_OPEN_DATA_H

#include <cstdint>
#include <map>
#include <optional>

#include "rds/confirmation.h"
#include "rds/received_group.h"

namespace halvane::driver::rds {

struct StationState;

class OdaRegistry {
 public:
  // Blocks B and D of a 3A group: the application's group type code and version, and its AID;
  // `intact` when both needed no correction.
  void Feed(uint16_t blockB, uint16_t blockD, bool intact);
  // The group type (code x 2 + version B) the application rides on, once registered twice
  // alike or once intact.
  std::optional<int> GroupTypeOf(uint16_t aid) const;
  const std::map<uint16_t, int>& applications() const { return applications_; }

 private:
  std::map<uint16_t, Confirmed<int>> candidates_;
  std::map<uint16_t, int> applications_;
};

// Group 3A.
void DecodeApplicationRegistry(const ReceivedGroup& group, StationState& station);
// A group of a type open data applications may use: handed to the application registered on it.
void DecodeOpenData(const ReceivedGroup& group, StationState& station);

}  // namespace halvane::driver::rds

#endif
