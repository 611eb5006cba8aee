// Which decoder takes which group type. Each group type's decoder lives in a file of its own and
// reads and writes only its part of the station's state.
#ifndef HALVANE_DRIVER_RDS_GROUP_HANDLERS_H
#define HALVANE_DRIVER_RDS_GROUP_HANDLERS_H

#include "rds/received_group.h"
#include "rds/station_state.h"

namespace halvane::driver::rds {

// Called with a group whose block B is usable and whose PI is the station's.
using GroupHandler = void (*)(const ReceivedGroup& group, StationState& station);

// The decoder of group type `typeCode` (0..15) in version A or B; null when the type carries
// nothing this decoder uses.
GroupHandler HandlerFor(int typeCode, bool versionB);

}  // namespace halvane::driver::rds

#endif
