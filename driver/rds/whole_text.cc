#include "rds/whole_text.h"

#include <algorithm>

#include "rds/charset.h"

namespace halvane::driver::rds {

WholeText::WholeText(size_t units, size_t width, TextEnd end)
    : width_(width), end_(end), limit_(units), units_(units), working_(units * width, kBlank) {}

bool WholeText::IsEnd(uint8_t byte) const {
  switch (end_) {
    case TextEnd::None:
      return false;
    case TextEnd::CarriageReturn:
      return byte == kEndOfText;
    case TextEnd::CarriageReturnOrNul:
      return byte == kEndOfText || byte == 0;
  }
  return false;
}

bool WholeText::OfferWord(size_t unit, uint16_t word, bool intact) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF)};
  return Offer(unit, bytes, intact);
}

bool WholeText::Offer(size_t unit, std::span<const uint8_t> bytes, bool intact) {
  if (unit >= units_.size() || bytes.size() != width_) return false;
  uint32_t packed = 0;
  for (const uint8_t byte : bytes) packed = packed << 8 | byte;
  Confirmed<uint32_t>& confirmed = units_[unit];
  const std::optional<uint32_t> before = confirmed.shown();
  if (!confirmed.Offer(packed, intact)) return false;
  const bool changed = before && *before != packed;
  std::copy(bytes.begin(), bytes.end(), working_.begin() + static_cast<long>(unit * width_));
  // A changed unit starts a new text: units confirmed before it may belong to the old one,
  // unless they came in order up to it.
  if (unit == inOrder_) {
    ++inOrder_;
  } else if (unit == 0) {
    inOrder_ = 1;
  } else if (unit > inOrder_ || changed) {
    inOrder_ = 0;
  }
  if (changed) fresh_ = 0;
  fresh_ |= 1U << unit;
  if (CurrentWhole()) Publish();
  return true;
}

bool WholeText::CurrentWhole() const {
  for (size_t unit = 0; unit < limit_; ++unit) {
    if ((fresh_ & (1U << unit)) == 0 && unit >= inOrder_) return false;
    const auto first = working_.begin() + static_cast<long>(unit * width_);
    if (std::any_of(first, first + static_cast<long>(width_), [&](uint8_t b) { return IsEnd(b); }))
      return true;
  }
  return true;
}

void WholeText::Publish() {
  std::vector<uint8_t> text(working_.size(), kBlank);
  const auto end = working_.begin() + static_cast<long>(limit_ * width_);
  const auto mark = std::find_if(working_.begin(), end, [&](uint8_t b) { return IsEnd(b); });
  std::copy(working_.begin(), mark == end ? end : mark + 1, text.begin());
  if (whole_ != text) whole_ = std::move(text);
}

std::optional<std::vector<uint8_t>> WholeText::Text() const {
  if (!whole_ || end_ == TextEnd::None) return whole_;
  const auto mark =
      std::find_if(whole_->begin(), whole_->end(), [&](uint8_t b) { return IsEnd(b); });
  return std::vector<uint8_t>(whole_->begin(), mark);
}

void WholeText::StartOver() {
  std::fill(units_.begin(), units_.end(), Confirmed<uint32_t>());
  std::fill(working_.begin(), working_.end(), kBlank);
  fresh_ = 0;
  inOrder_ = 0;
}

void WholeText::TakeOver(const WholeText& next) {
  // Every member but what is shown, which stays.
  width_ = next.width_;
  end_ = next.end_;
  limit_ = next.limit_;
  units_ = next.units_;
  working_ = next.working_;
  fresh_ = next.fresh_;
  inOrder_ = next.inOrder_;
  if (CurrentWhole()) Publish();
}

void WholeText::Clear() {
  StartOver();
  whole_.reset();
}

}  // namespace halvane::driver::rds
