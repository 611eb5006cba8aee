// An RDS group: four 16-bit information words, the blocks A, B, C (or C') and D.
#ifndef HALVANE_DRIVER_RDS_GROUP_H
#define HALVANE_DRIVER_RDS_GROUP_H

#include <array>
#include <cstdint>

namespace halvane::driver::rds {

using Group = std::array<uint16_t, 4>;

inline constexpr int kBlocksPerGroup = 4;
// 4 blocks of 26 bits at 1187.5 bit/s: one group every 87.58 ms.
inline constexpr int kBitsPerGroup = 104;

// Fields of block B shared by every group type.
constexpr int GroupTypeCode(uint16_t blockB) { return blockB >> 12; }
constexpr bool IsVersionB(uint16_t blockB) { return (blockB & 0x0800) != 0; }
constexpr bool TrafficProgramme(uint16_t blockB) { return (blockB & 0x0400) != 0; }
constexpr uint8_t ProgrammeType(uint16_t blockB) { return (blockB >> 5) & 0x1F; }

}  // namespace halvane::driver::rds

#endif
