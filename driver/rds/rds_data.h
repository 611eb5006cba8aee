// What the station's RDS record shows, as the group decoder has confirmed it.
#ifndef HALVANE_DRIVER_RDS_RDS_DATA_H
#define HALVANE_DRIVER_RDS_RDS_DATA_H

#include <array>
#include <cstdint>

namespace halvane::driver::rds {

// Text is kept in RDS bytes; positions not yet received hold blanks.
struct RdsData {
  uint16_t pi = 0;
  uint8_t pty = 0;
  bool tp = false;
  bool ta = false;
  bool ms = false;
  std::array<uint8_t, 8> ps{};
  std::array<uint8_t, 64> rt{};
};

}  // namespace halvane::driver::rds

#endif
