#include "rds/text_segments.h"

namespace halvane::driver::rds {
namespace {

constexpr uint8_t kCarriageReturn = 0x0D;

}  // namespace

void SegmentedText::Feed(int index, uint16_t blockC, uint16_t blockD) {
  if (index < 0 || static_cast<size_t>(index) >= segments_.size()) return;
  segments_[static_cast<size_t>(index)].Offer(
      {static_cast<uint8_t>(blockC >> 8), static_cast<uint8_t>(blockC & 0xFF),
       static_cast<uint8_t>(blockD >> 8), static_cast<uint8_t>(blockD & 0xFF)});
}

void SegmentedText::Clear() {
  for (auto& segment : segments_) segment.Clear();
}

std::optional<std::vector<uint8_t>> SegmentedText::Text() const {
  std::vector<uint8_t> text;
  for (const auto& segment : segments_) {
    if (!segment.confirmed()) return std::nullopt;
    for (uint8_t byte : *segment.confirmed()) {
      if (byte == kCarriageReturn || byte == 0) return text;
      text.push_back(byte);
    }
  }
  return text;
}

void ProgrammeTypeName::Feed(uint16_t blockB, uint16_t blockC, uint16_t blockD) {
  const int ab = (blockB >> 4) & 1;
  if (ab != ab_) {
    text_.Clear();  // a new name: none of the old one may show through
    ab_ = ab;
  }
  text_.Feed(blockB & 1, blockC, blockD);
}

void ProgrammeTypeName::Clear() {
  text_.Clear();
  ab_ = -1;
}

}  // namespace halvane::driver::rds
