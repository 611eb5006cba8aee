// Checks a received 26-bit block against the offset expected at its position and repairs it
// when the damage is a short burst the code corrects reliably.
#ifndef HALVANE_DRIVER_RDS_BLOCK_DECODER_H
#define HALVANE_DRIVER_RDS_BLOCK_DECODER_H

#include <cstdint>

#include "rds/checkword.h"

namespace halvane::driver::rds {

// The (26,16) block code tells every burst of up to 5 bits apart: their syndromes are distinct
// and never zero. But those 367 syndromes are over a third of all 1023, so a block damaged any
// other way is "corrected" into a wrong word a third of the time. Bursts of at most 2 bits (what
// one wrong chip leaves after differential decoding) use 51 syndromes: a block beyond repair is
// then mistaken for a repairable one 5 % of the time, and a field is still only shown when
// confirmed.
inline constexpr int kMaxCorrectableBurst = 5;
inline constexpr int kReliableBurst = 2;

enum class BlockStatus : uint8_t {
  Ok,         // syndrome matched the expected offset word
  Corrected,  // a short burst was repaired
  Error,      // uncorrectable: the information word must not be used
};

struct DecodedBlock {
  BlockStatus status = BlockStatus::Error;
  uint16_t info = 0;  // valid unless status is Error

  bool usable() const { return status != BlockStatus::Error; }
};

// Decodes `block` (bits 25..0; higher bits are ignored) as a block carrying `expected`,
// repairing bursts of up to `maxBurst` bits (0: none, at most kMaxCorrectableBurst).
DecodedBlock DecodeBlock(uint32_t block, Offset expected, int maxBurst = kReliableBurst);

// The 26-bit error pattern whose syndrome is `syndrome`, if it is a burst of at most
// kMaxCorrectableBurst bits; 0 if none.
uint32_t BurstForSyndrome(uint16_t syndrome);

// The length of a burst: from its first to its last set bit.
int BurstLength(uint32_t burst);

}  // namespace halvane::driver::rds

#endif
