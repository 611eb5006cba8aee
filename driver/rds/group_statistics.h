// How well a station's groups arrive, for the "reception" view: groups taken as the station's by
// type, and blocks received and damaged.
#ifndef HALVANE_DRIVER_RDS_GROUP_STATISTICS_H
#define HALVANE_DRIVER_RDS_GROUP_STATISTICS_H

#include <array>
#include <cstdint>

namespace halvane::driver::rds {

// Group types counted as code x 2 + version (0A = 0, 0B = 1, ... 15B = 31).
inline constexpr int kGroupTypes = 32;

struct GroupStatistics {
  std::array<uint32_t, kGroupTypes> groups{};  // groups taken as the station's, by type
  uint64_t blocks = 0;                         // blocks received, taken or not
  uint64_t damagedBlocks = 0;                  // of them lost or uncorrectable
};

}  // namespace halvane::driver::rds

#endif
