// Checks a received 26-bit block against the offset expected at its position and repairs it
// when the damage is a single burst the code can correct.
#ifndef HALVANE_DRIVER_RDS_BLOCK_DECODER_H
#define HALVANE_DRIVER_RDS_BLOCK_DECODER_H

#include <cstdint>

#include "rds/checkword.h"

namespace halvane::driver::rds {

// The (26,16) block code corrects every burst of up to 5 bits: their syndromes are distinct and
// never zero. Longer bursts are only detected (or, now and then, mistaken for a short one).
inline constexpr int kMaxCorrectableBurst = 5;

enum class BlockStatus : uint8_t {
  Ok,         // syndrome matched the expected offset word
  Corrected,  // a burst of up to kMaxCorrectableBurst bits was repaired
  Error,      // uncorrectable: the information word must not be used
};

struct DecodedBlock {
  BlockStatus status = BlockStatus::Error;
  uint16_t info = 0;  // valid unless status is Error

  bool usable() const { return status != BlockStatus::Error; }
};

// Decodes `block` (bits 25..0; higher bits are ignored) as a block carrying `expected`.
DecodedBlock DecodeBlock(uint32_t block, Offset expected);

// The 26-bit error pattern whose syndrome is `syndrome`, if it is a correctable burst; 0 if none.
uint32_t BurstForSyndrome(uint16_t syndrome);

}  // namespace halvane::driver::rds

#endif
