// Finds the RDS blocks in the bit stream by their syndromes: two offset words the right
// distance apart and in the right order give synchronisation; from then on every 26 bits are a
// block at the next position, until too many in a row arrive damaged. Whole groups go on to the
// group decoder.
#ifndef HALVANE_DRIVER_SDR_DSP_BLOCK_SYNC_H
#define HALVANE_DRIVER_SDR_DSP_BLOCK_SYNC_H

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
  // Synchronised for two groups at least, with at most two of the last eight blocks damaged:
  // only then is a damaged block worth correcting. Right after a new lock, or while blocks keep
  // failing, the lock itself may be false and a "correction" would invent data.
  bool solid() const;
  // Blocks taken while synchronised, and those of them whose syndrome was exactly their offset
  // word (undamaged, before any correction).
  uint64_t blocks() const { return blocks_; }
  uint64_t CleanBlocks() const { return cleanBlocks_; }

 private:
  void TakeBlock(const GroupSink& sink);

  uint32_t register_ = 0;
  uint64_t bitCount_ = 0;
  bool synced_ = false;
  // Searching: the last offset word seen, and where.
  int lastPosition_ = -1;
  uint64_t lastPositionBit_ = 0;
  // Synchronised: position of the next block and bits still to come for it.
  int position_ = 0;
  int bitsToBlock_ = 0;
  rds::AirGroup group_{};
  uint32_t recentDamage_ = 0;  // one bit per recent block, 1 where damaged
  int blocksSynced_ = 0;       // since the lock was found, counted up to kSolidAfterBlocks
  uint64_t blocks_ = 0;
  uint64_t cleanBlocks_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
