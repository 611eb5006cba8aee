// A group as the decoder takes it: four information words, and for each whether it may be read
// and whether the receiver had to correct it. Decoders trust a field more when the blocks that
// carry it arrived without correction.
#ifndef HALVANE_DRIVER_RDS_RECEIVED_GROUP_H
#define HALVANE_DRIVER_RDS_RECEIVED_GROUP_H

#include <array>
#include <cstdint>
#include <optional>

#include "rds/block_decoder.h"
#include "rds/group.h"

namespace halvane::driver::rds {

// A group as it came off the air: a block is absent when the receiver lost it altogether.
using AirGroup = std::array<std::optional<uint32_t>, kBlocksPerGroup>;

struct ReceivedGroup {
  Group blocks{};
  std::array<bool, kBlocksPerGroup> usable{};     // false: lost or uncorrectable, do not read
  std::array<bool, kBlocksPerGroup> corrected{};  // usable only after a correction

  int UnusableCount() const;
  // Usable, and received exactly as sent (its checkword needed no correction).
  bool Intact(int index) const { return usable[index] && !corrected[index]; }
};

// Checks each block at its position, correcting bursts of up to `maxBurst` bits (0: none).
// Block 3 is expected with offset C' when block B says the group is version B; when block B
// itself is unusable only an exact C or C' is taken.
ReceivedGroup DecodeAirGroup(const AirGroup& air, int maxBurst = kReliableBurst);

}  // namespace halvane::driver::rds

#endif
