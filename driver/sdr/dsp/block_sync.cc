#include "sdr/dsp/block_sync.h"

#include <bit>

#include "rds/checkword.h"

namespace halvane::driver::sdr {
namespace {

constexpr int kBlockBits = 26;
constexpr uint32_t kBlockMask = (1u << kBlockBits) - 1;
// Synchronisation is lost when more than this many of the last 16 blocks were damaged.
constexpr uint32_t kRecentBlocksMask = 0xFFFF;
constexpr int kMaxRecentDamage = 8;
constexpr int kSolidAfterBlocks = 8;
constexpr uint32_t kSolidWindowMask = 0xFF;
constexpr int kMaxSolidDamage = 2;

// The group position an offset word stands for: A 0, B 1, C and C' 2, D 3.
int PositionOf(rds::Offset offset) {
  switch (offset) {
    case rds::Offset::A:
      return 0;
    case rds::Offset::B:
      return 1;
    case rds::Offset::C:
    case rds::Offset::CPrime:
      return 2;
    case rds::Offset::D:
      return 3;
  }
  return -1;
}

bool IsClean(uint32_t block, int position) {
  const std::optional<rds::Offset> offset = rds::DetectOffset(block);
  return offset && PositionOf(*offset) == position;
}

}  // namespace

void BlockSync::Reset() { *this = BlockSync(); }

bool BlockSync::solid() const {
  return synced_ && blocksSynced_ >= kSolidAfterBlocks &&
         std::popcount(recentDamage_ & kSolidWindowMask) <= kMaxSolidDamage;
}

void BlockSync::Push(uint8_t bit, const GroupSink& sink) {
  register_ = ((register_ << 1) | (bit & 1)) & kBlockMask;
  ++bitCount_;
  if (synced_) {
    if (--bitsToBlock_ == 0) TakeBlock(sink);
    return;
  }
  if (bitCount_ < kBlockBits) return;
  const std::optional<rds::Offset> offset = rds::DetectOffset(register_);
  if (!offset) return;
  const int position = PositionOf(*offset);
  const uint64_t distance = bitCount_ - lastPositionBit_;
  if (lastPosition_ >= 0 && distance % kBlockBits == 0 && distance <= 4 * kBlockBits &&
      (lastPosition_ + static_cast<int>(distance / kBlockBits)) % 4 == position) {
    synced_ = true;
    recentDamage_ = 0;
    blocksSynced_ = 0;
    group_ = {};
    position_ = position;
    // The block just found is the first of the synchronised stream.
    TakeBlock(sink);
    return;
  }
  lastPosition_ = position;
  lastPositionBit_ = bitCount_;
}

void BlockSync::TakeBlock(const GroupSink& sink) {
  const bool clean = IsClean(register_, position_);
  ++blocks_;
  if (blocksSynced_ < kSolidAfterBlocks) ++blocksSynced_;
  if (clean) ++cleanBlocks_;
  recentDamage_ = ((recentDamage_ << 1) | (clean ? 0 : 1)) & kRecentBlocksMask;
  group_[static_cast<size_t>(position_)] = register_;
  if (position_ == 3) {
    sink(group_);
    group_ = {};
  }
  position_ = (position_ + 1) % 4;
  bitsToBlock_ = kBlockBits;
  if (std::popcount(recentDamage_) > kMaxRecentDamage) {
    synced_ = false;
    lastPosition_ = -1;
    if (position_ != 0) {
      // The blocks of the group begun still go on, the rest absent.
      sink(group_);
      group_ = {};
    }
  }
}

}  // namespace halvane::driver::sdr
