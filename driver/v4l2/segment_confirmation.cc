#include "v4l2/segment_confirmation.h"

#include "rds/group.h"

namespace halvane::driver::v4l2 {
namespace {

constexpr int kBasicTuning = 0;
constexpr int kRadioText = 2;

uint32_t BlockOf(const rds::ReceivedGroup& group, int index) {
  // The usable flag rides above the 16-bit word, so a lost block never equals a received one.
  return group.usable[index] ? group.blocks[index] | 0x10000u : 0;
}

}  // namespace

bool SegmentConfirmation::Confirm(const rds::ReceivedGroup& group) {
  if (!group.usable[1]) return false;
  const uint16_t b = group.blocks[1];
  const int type = rds::GroupTypeCode(b);
  if (type != kBasicTuning && type != kRadioText) return false;
  const bool versionB = rds::IsVersionB(b);
  const int address = type == kBasicTuning ? b & 0x3 : b & 0xF;
  // Block C of group 0A carries alternative frequencies, which change from group to group.
  const bool usesC = type == kRadioText && !versionB;
  const Content content = {BlockOf(group, 1), usesC ? BlockOf(group, 2) : 0, BlockOf(group, 3)};
  const uint32_t key = (type << 8) | (versionB ? 0x80 : 0) | address;
  const auto [entry, first] = last_.try_emplace(key, content);
  if (first) return false;
  const bool alike = entry->second == content;
  entry->second = content;
  return alike;
}

}  // namespace halvane::driver::v4l2
