#include "rds/radiotext_plus.h"

#include <algorithm>

#include "rds/charset.h"

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

void RadioTextPlus::Feed(const ReceivedGroup& group, const WholeText& radioText) {
  if (!group.usable[2] || !group.usable[3]) return;
  const uint16_t b = group.blocks[1];
  running_.Offer((b & 0x08) != 0, false);
  // A new item: the song's tags belong to the one before.
  if (toggle_.Offer((b & 0x10) != 0, false) && item_ != toggle_.shown()) {
    for (auto it = texts_.begin(); it != texts_.end() && item_;) {
      it = it->first < kFirstNonItemContent ? texts_.erase(it) : std::next(it);
    }
    item_ = toggle_.shown();
  }
  if (!radioText.CurrentWhole() || !radioText.whole()) return;
  const std::vector<uint8_t>& text = *radioText.whole();
  const bool intact = group.Intact(1) && group.Intact(2) && group.Intact(3);
  for (const auto& tag : DecodeRtPlusTags(b, group.blocks[2], group.blocks[3])) {
    if (!tag) continue;
    auto first = text.begin() + tag->start;
    auto end = first + tag->length;
    // A tag cut short by the end of the text is no tag.
    if (std::find(first, end, kEndOfText) != end) continue;
    while (first != end && *first == kBlank) ++first;
    while (end != first && *(end - 1) == kBlank) --end;
    if (first == end) continue;
    texts_[tag->contentType].Offer(std::vector<uint8_t>(first, end), intact);
  }
}

void RadioTextPlus::Clear() { *this = RadioTextPlus(); }

std::optional<std::vector<uint8_t>> RadioTextPlus::Text(RtPlusContent content) const {
  const auto type = static_cast<uint8_t>(content);
  if (type < kFirstNonItemContent && !itemRunning()) return std::nullopt;
  const auto found = texts_.find(type);
  if (found == texts_.end()) return std::nullopt;
  return found->second.shown();
}

}  // namespace halvane::driver::rds
