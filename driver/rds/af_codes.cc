#include "rds/af_codes.h"

#include <algorithm>

#include "frequency.h"

namespace halvane::driver::rds {
namespace {

// FM codes count channels from the raster's second, 87.6 MHz.
constexpr int32_t kFmFirstHz = kFmRaster.low + kFmRaster.step;
constexpr int32_t kFmStepHz = kFmRaster.step;
constexpr uint8_t kFmLastCode = 204;
constexpr uint8_t kLfLastCode = 15;
constexpr uint8_t kMfLastCode = 135;

bool IsCount(uint8_t code) { return code >= kAfCountBase && code <= kAfCountBase + kAfMaxCount; }

}  // namespace

std::optional<int32_t> AfFrequency(uint8_t code, bool lfMf) {
  if (code == 0) return std::nullopt;
  if (!lfMf) {
    if (code > kFmLastCode) return std::nullopt;
    return kFmFirstHz + (code - 1) * kFmStepHz;
  }
  if (code <= kLfLastCode) return Frequency::AmKilohertz(153 + (code - 1) * 9).value();
  if (code <= kMfLastCode) return Frequency::AmKilohertz(531 + (code - 16) * 9).value();
  return std::nullopt;
}

void AfListDecoder::Clear() {
  partial_.reset();
  candidates_.clear();
  lists_.clear();
}

void AfListDecoder::Feed(uint16_t pair, bool usable, bool intact) {
  if (!usable) {
    partial_.reset();  // a pair is missing: this round of the list cannot be trusted
    return;
  }
  const auto first = static_cast<uint8_t>(pair >> 8);
  const auto second = static_cast<uint8_t>(pair & 0xFF);
  if (IsCount(first)) {
    partial_ = Partial{first - kAfCountBase, false, intact, {}, {}};
    Add(second);
  } else if (partial_ && first == kAfLfMfFollows) {
    partial_->intact = partial_->intact && intact;
    partial_->lfMf = true;
    Add(second);
  } else if (partial_) {
    partial_->intact = partial_->intact && intact;
    Add(first);
    Add(second);
    if (partial_) {
      const auto a = AfFrequency(first, false);
      const auto b = AfFrequency(second, false);
      if (a && b) partial_->pairs.emplace_back(*a, *b);
    }
  }
  if (partial_ && static_cast<int>(partial_->codes.size()) >= partial_->expected) Finish();
}

void AfListDecoder::Add(uint8_t code) {
  if (!partial_ || code == kAfFiller) return;
  const std::optional<int32_t> frequency = AfFrequency(code, partial_->lfMf);
  partial_->lfMf = false;
  if (!frequency) {
    partial_.reset();  // a code no list may hold: the round is damaged
    return;
  }
  partial_->codes.push_back(*frequency);
}

void AfListDecoder::Finish() {
  const Partial partial = *partial_;
  partial_.reset();
  if (static_cast<int>(partial.codes.size()) != partial.expected) return;
  AfList list;
  const int32_t head = partial.codes.empty() ? 0 : partial.codes.front();
  const auto repeats = std::count(partial.codes.begin(), partial.codes.end(), head);
  const bool everyPairHasHead =
      !partial.pairs.empty() &&
      std::all_of(partial.pairs.begin(), partial.pairs.end(),
                  [&](const auto& p) { return p.first == head || p.second == head; });
  if (repeats > 1 && everyPairHasHead) {
    // Method B: the tuned frequency, then pairs of it and an alternative; the pair in
    // descending order marks a regional variant.
    list.methodB = true;
    list.tuned = head;
    for (const auto& [a, b] : partial.pairs) {
      const int32_t other = a == head ? b : a;
      if (other == head) continue;
      list.entries.push_back({other, a > b});
    }
  } else {
    for (int32_t frequency : partial.codes) {
      const bool seen = std::any_of(list.entries.begin(), list.entries.end(),
                                    [&](const AfEntry& e) { return e.frequency == frequency; });
      if (!seen) list.entries.push_back({frequency, false});
    }
  }
  const int32_t key = list.methodB ? list.tuned : 0;
  if (candidates_[key].Offer(list, partial.intact)) lists_[key] = list;
}

std::optional<AfList> AfListDecoder::ListFor(int32_t tunedFrequency) const {
  if (auto own = lists_.find(tunedFrequency); own != lists_.end()) return own->second;
  if (auto network = lists_.find(0); network != lists_.end()) return network->second;
  return std::nullopt;
}

}  // namespace halvane::driver::rds
