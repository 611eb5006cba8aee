// Finds the RDS blocks in the bit stream by their syndromes: two offset words the right
// distance apart and in the right order give synchronisation; from then on every 26 bits are a
// block at the next position, until too many in a row arrive damaged. Whole groups go on to the
// group decoder.
#ifndef HALVANE_DRIVER_SDR_BLOCK_SYNC_H
#define HALVANE_DRIVER_SDR_BLOCK_SYNC_H

#include <cstdint>
#include <functional>

#include "rds/group_decoder.h"

namespace halvane::driver::sdr {

class BlockSync {
 public:
  using GroupSink = std::function<void(const rds::AirGroup&)>;

  void Reset();
  // Takes the next data bit; hands each group completed to `sink`. Blocks of a group before
  // synchronisation was found are absent from it.
  void Push(uint8_t bit, const GroupSink& sink);

  bool synced() const { return synced_; }
  // Blocks taken while synchronised, and those of them whose syndrome was exactly their offset
  // word (undamaged, before any correction).
  uint64_t blocks() const { return blocks_; }
  uint64_t CleanBlocks() const { return clean_blocks_; }

 private:
  void TakeBlock(const GroupSink& sink);

  uint32_t register_ = 0;
  uint64_t bit_count_ = 0;
  bool synced_ = false;
  // Searching: the last offset word seen, and where.
  int last_position_ = -1;
  uint64_t last_position_bit_ = 0;
  // Synchronised: position of the next block and bits still to come for it.
  int position_ = 0;
  int bits_to_block_ = 0;
  rds::AirGroup group_{};
  uint32_t recent_damage_ = 0;  // one bit per recent block, 1 where damaged
  uint64_t blocks_ = 0;
  uint64_t clean_blocks_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
