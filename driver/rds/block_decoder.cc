#include "rds/block_decoder.h"

#include <array>
#include <bit>

namespace halvane::driver::rds {
namespace {

constexpr int kBlockBits = 26;

// Syndrome -> error pattern for every burst of 1..kMaxCorrectableBurst bits at every position in
// the block. A burst of length n has its first and last bit set and any n-2 bits between.
std::array<uint32_t, 1024> BuildBurstTable() {
  std::array<uint32_t, 1024> table{};
  for (int length = 1; length <= kMaxCorrectableBurst; ++length) {
    const uint32_t innerPatterns = length > 2 ? uint32_t{1} << (length - 2) : 1;
    for (int position = 0; position + length <= kBlockBits; ++position) {
      for (uint32_t inner = 0; inner < innerPatterns; ++inner) {
        uint32_t burst = length == 1 ? 1 : (uint32_t{1} << (length - 1)) | 1 | (inner << 1);
        burst <<= position;
        table[Remainder(burst, kBlockBits)] = burst;
      }
    }
  }
  return table;
}

}  // namespace

uint32_t BurstForSyndrome(uint16_t syndrome) {
  static const std::array<uint32_t, 1024> table = BuildBurstTable();
  return table[syndrome & 0x3FF];
}

int BurstLength(uint32_t burst) {
  return burst == 0 ? 0 : static_cast<int>(std::bit_width(burst)) - std::countr_zero(burst);
}

DecodedBlock DecodeBlock(uint32_t block, Offset expected, int maxBurst) {
  block &= 0x3FFFFFF;
  // The syndrome is linear: what is left after removing the offset word is the error's syndrome.
  const uint16_t errorSyndrome = Syndrome(block) ^ OffsetWord(expected);
  if (errorSyndrome == 0) return {BlockStatus::Ok, static_cast<uint16_t>(block >> 10)};
  const uint32_t burst = BurstForSyndrome(errorSyndrome);
  if (burst == 0 || BurstLength(burst) > maxBurst) return {};
  return {BlockStatus::Corrected, static_cast<uint16_t>((block ^ burst) >> 10)};
}

}  // namespace halvane::driver::rds
