#include "rds/group_encoder.h"

#include "rds/charset.h"
#include "rds/checkword.h"

namespace halvane::driver::rds {
namespace {

uint16_t BlockB(const GroupHeader& header, int typeCode, uint16_t lowBits) {
  return static_cast<uint16_t>((typeCode << 12) | (header.versionB ? 0x0800 : 0) |
                               (header.tp ? 0x0400 : 0) | ((header.pty & 0x1F) << 5) |
                               (lowBits & 0x1F));
}

uint16_t Pair(uint8_t first, uint8_t second) { return static_cast<uint16_t>(first << 8 | second); }

}  // namespace

Group EncodeBasicTuning(const GroupHeader& header, bool ta, bool ms, uint8_t di, int segment,
                        std::span<const uint8_t, 8> ps, uint16_t afPair) {
  segment &= 3;
  const bool diBit = (di >> (3 - segment)) & 1;
  const uint16_t low = (ta ? 0x10 : 0) | (ms ? 0x08 : 0) | (diBit ? 0x04 : 0) | segment;
  return {header.pi, BlockB(header, 0, low), header.versionB ? header.pi : afPair,
          Pair(ps[2 * segment], ps[2 * segment + 1])};
}

Group EncodeOdaRegistration(const GroupHeader& header, int groupType, uint16_t aid) {
  return {header.pi, BlockB(header, 3, static_cast<uint16_t>(groupType & 0x1F)), 0, aid};
}

Group EncodeOdaGroup(const GroupHeader& header, int groupType, uint8_t lowBits, uint16_t c,
                     uint16_t d) {
  GroupHeader own = header;
  own.versionB = (groupType & 1) != 0;
  return {header.pi, BlockB(own, groupType >> 1, lowBits), own.versionB ? header.pi : c, d};
}

Group EncodeRadioText(const GroupHeader& header, bool ab, int segment,
                      std::span<const uint8_t> text) {
  segment &= 15;
  const auto at = [&](size_t i) { return i < text.size() ? text[i] : kBlank; };
  const uint16_t blockB = BlockB(header, 2, (ab ? 0x10 : 0) | segment);
  if (header.versionB) {
    const size_t first = 2 * static_cast<size_t>(segment);
    return {header.pi, blockB, header.pi, Pair(at(first), at(first + 1))};
  }
  const size_t first = 4 * static_cast<size_t>(segment);
  return {header.pi, blockB, Pair(at(first), at(first + 1)), Pair(at(first + 2), at(first + 3))};
}

std::array<uint32_t, kBlocksPerGroup> EncodeBlocks(const Group& group) {
  const Offset third = IsVersionB(group[1]) ? Offset::CPrime : Offset::C;
  return {EncodeBlock(group[0], Offset::A), EncodeBlock(group[1], Offset::B),
          EncodeBlock(group[2], third), EncodeBlock(group[3], Offset::D)};
}

}  // namespace halvane::driver::rds
