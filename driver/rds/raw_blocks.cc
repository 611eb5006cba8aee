#include "rds/raw_blocks.h"

namespace halvane::driver::rds {
namespace {

// Index in the group for a status byte's position; -1 when unknown.
int GroupIndex(uint8_t position) {
  switch (position) {
    case kRawPositionA:
    case kRawPositionB:
    case kRawPositionC:
    case kRawPositionD:
      return position;
    case kRawPositionCPrime:
      return 2;
    default:
      return -1;
  }
}

}  // namespace

bool RawBlock::damaged() const { return error || GroupIndex(position) < 0; }

RawBlock ReadRawRecord(std::span<const uint8_t, kRawRecordSize> record) {
  RawBlock block;
  block.info = static_cast<uint16_t>(record[0] | (record[1] << 8));
  block.position = record[2] & kRawPositionMask;
  block.corrected = (record[2] & kRawCorrected) != 0;
  block.error = (record[2] & kRawError) != 0;
  return block;
}

std::array<uint8_t, kRawRecordSize> WriteRawRecord(const RawBlock& block) {
  return {
      static_cast<uint8_t>(block.info & 0xFF), static_cast<uint8_t>(block.info >> 8),
      static_cast<uint8_t>((block.position & kRawPositionMask) |
                           (block.corrected ? kRawCorrected : 0) | (block.error ? kRawError : 0))};
}

std::vector<RawBlock> ParseRawBlockDump(std::span<const uint8_t> bytes) {
  std::vector<RawBlock> blocks;
  blocks.reserve(bytes.size() / kRawRecordSize);
  for (size_t at = 0; at + kRawRecordSize <= bytes.size(); at += kRawRecordSize) {
    blocks.push_back(ReadRawRecord(bytes.subspan(at).first<kRawRecordSize>()));
  }
  return blocks;
}

void RawGroupAssembler::Add(const RawBlock& block, const GroupSink& sink) {
  const int index = GroupIndex(block.position);
  if (index < 0) return;
  if (lastPosition_ >= 0 && index <= lastPosition_) {
    sink(current_);
    Reset();
  }
  current_.blocks[index] = block.info;
  current_.usable[index] = !block.error;
  current_.corrected[index] = block.corrected;
  lastPosition_ = index;
  if (index == 3) {
    sink(current_);
    Reset();
  }
}

void RawGroupAssembler::Reset() {
  current_ = ReceivedGroup{};
  lastPosition_ = -1;
}

}  // namespace halvane::driver::rds
