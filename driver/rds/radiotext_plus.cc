#include "rds/radiotext_plus.h"

namespace halvane::driver::rds {
namespace {

constexpr size_t kRadioTextLength = 64;
constexpr uint8_t kFirstNonItemContent = 12;  // types below this describe the item (the song)

std::optional<RtPlusTag> MakeTag(int content, int start, int lengthMarker) {
  const RtPlusTag tag{static_cast<uint8_t>(content), static_cast<uint8_t>(start),
                      static_cast<uint8_t>(lengthMarker + 1)};
  if (tag.contentType == 0 || tag.start + tag.length > kRadioTextLength) return std::nullopt;
  return tag;
}

}  // namespace

std::array<std::optional<RtPlusTag>, 2> DecodeRtPlusTags(uint16_t blockB, uint16_t blockC,
                                                         uint16_t blockD) {
  const int content1 = ((blockB & 0x07) << 3) | (blockC >> 13);
  const int content2 = ((blockC & 0x01) << 5) | (blockD >> 11);
  return {MakeTag(content1, (blockC >> 7) & 0x3F, (blockC >> 1) & 0x3F),
          MakeTag(content2, (blockD >> 5) & 0x3F, blockD & 0x1F)};
}

void OdaRegistry::Feed(uint16_t blockB, uint16_t blockD) {
  const int groupType = blockB & 0x1F;
  if (candidates_[blockD].Offer(groupType)) applications_[blockD] = groupType;
}

void OdaRegistry::Clear() {
  candidates_.clear();
  applications_.clear();
}

std::optional<int> OdaRegistry::GroupTypeOf(uint16_t aid) const {
  const auto found = applications_.find(aid);
  if (found == applications_.end()) return std::nullopt;
  return found->second;
}

void RadioTextPlus::Feed(uint16_t blockB, uint16_t blockC, uint16_t blockD,
                         std::span<const uint8_t> text) {
  const int toggle = (blockB >> 4) & 1;
  running_ = (blockB & 0x08) != 0;
  // A new item: the song's tags belong to the one before.
  if (toggle != toggle_) {
    for (auto it = texts_.begin(); it != texts_.end();) {
      it = it->first < kFirstNonItemContent ? texts_.erase(it) : std::next(it);
    }
    toggle_ = toggle;
  }
  for (const auto& tag : DecodeRtPlusTags(blockB, blockC, blockD)) {
    if (!tag || tag->start + tag->length > text.size()) continue;
    texts_[tag->contentType].Offer(
        std::vector<uint8_t>(text.begin() + tag->start, text.begin() + tag->start + tag->length));
  }
}

void RadioTextPlus::Clear() {
  running_ = false;
  toggle_ = -1;
  texts_.clear();
}

std::optional<std::vector<uint8_t>> RadioTextPlus::Text(RtPlusContent content) const {
  const auto type = static_cast<uint8_t>(content);
  if (type < kFirstNonItemContent && !running_) return std::nullopt;
  const auto found = texts_.find(type);
  if (found == texts_.end()) return std::nullopt;
  return found->second.confirmed();
}

}  // namespace halvane::driver::rds
