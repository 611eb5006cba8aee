#include "rds/station_state.h"

#include "rds/charset.h"

namespace halvane::driver::rds {

StationState::StationState() {
  shown.ps.fill(kBlank);
  shown.rt.fill(kBlank);
}

}  // namespace halvane::driver::rds
