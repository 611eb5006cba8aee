// RDS as a receiver chip delivers it: decoded 16-bit blocks, each with its position in the group
// and whether the chip corrected it or found it in error. The record layout is the one a V4L2
// radio device returns from read(): 3 bytes, information word low byte first, then a status byte.
#ifndef HALVANE_DRIVER_RDS_RAW_BLOCKS_H
#define HALVANE_DRIVER_RDS_RAW_BLOCKS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "rds/group_decoder.h"

namespace halvane::driver::rds {

inline constexpr size_t kRawRecordSize = 3;

// Status byte: bits 0-2 the block's position, bit 6 corrected, bit 7 in error.
inline constexpr uint8_t kRawPositionMask = 0x07;
inline constexpr uint8_t kRawPositionA = 0;
inline constexpr uint8_t kRawPositionB = 1;
inline constexpr uint8_t kRawPositionC = 2;
inline constexpr uint8_t kRawPositionD = 3;
inline constexpr uint8_t kRawPositionCPrime = 4;
inline constexpr uint8_t kRawPositionInvalid = 7;
inline constexpr uint8_t kRawCorrected = 0x40;
inline constexpr uint8_t kRawError = 0x80;

struct RawBlock {
  uint16_t info = 0;
  uint8_t position = kRawPositionInvalid;
  bool corrected = false;
  bool error = false;

  // Lost for decoding: flagged in error or of unknown position.
  bool damaged() const;
};

RawBlock ReadRawRecord(std::span<const uint8_t, kRawRecordSize> record);
std::array<uint8_t, kRawRecordSize> WriteRawRecord(const RawBlock& block);

// Every whole record of a dump; a partial record at the end is ignored.
std::vector<RawBlock> ParseRawBlockDump(std::span<const uint8_t> bytes);

// Collects blocks into groups. A group ends with its block D, or when a block arrives whose
// position is not after the previous one (a block got lost on the way); the positions that did
// not arrive, and blocks flagged in error, are unusable in the group handed on.
class RawGroupAssembler {
 public:
  using GroupSink = std::function<void(const ReceivedGroup&)>;

  void Add(const RawBlock& block, const GroupSink& sink);
  // Forgets a group begun, as after tuning.
  void Reset();

 private:
  ReceivedGroup current_;
  int lastPosition_ = -1;  // -1: no group begun
};

}  // namespace halvane::driver::rds

#endif
