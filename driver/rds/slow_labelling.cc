#include "rds/slow_labelling.h"

namespace halvane::driver::rds {
namespace {

constexpr int kEccVariant = 0;
constexpr int kLanguageVariant = 3;

}  // namespace

std::optional<ProgrammeItem> DecodeProgrammeItem(uint16_t blockD) {
  const ProgrammeItem item{blockD >> 11, (blockD >> 6) & 0x1F, blockD & 0x3F};
  if (item.day == 0 || item.hour > 23 || item.minute > 59) return std::nullopt;
  return item;
}

void SlowLabelling::Feed(std::optional<uint16_t> blockC, std::optional<uint16_t> blockD) {
  if (blockC) {
    const int variant = (*blockC >> 12) & 7;
    if (variant == kEccVariant) ecc_.Offer(static_cast<uint8_t>(*blockC & 0xFF));
    if (variant == kLanguageVariant) language_.Offer(static_cast<uint16_t>(*blockC & 0x0FFF));
  }
  if (blockD) {
    if (const auto item = DecodeProgrammeItem(*blockD)) item_.Offer(*item);
  }
}

void SlowLabelling::Clear() {
  ecc_.Clear();
  language_.Clear();
  item_.Clear();
}

}  // namespace halvane::driver::rds
