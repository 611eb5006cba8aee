#include "rds/extended_decoder.h"

namespace halvane::driver::rds {
namespace {

constexpr int kBasicTuning = 0;    // 0A: AF codes in block C
constexpr int kSlowLabelling = 1;  // 1A
constexpr int kOdaRegistry = 3;    // 3A
constexpr int kClockTime = 4;      // 4A
constexpr int kPtyName = 10;       // 10A
constexpr int kOtherNetworks = 14;
constexpr int kLongPs = 15;  // 15A
// Successive clock groups a minute apart agree; a later one may have been lost.
constexpr int64_t kMaxClockStepMinutes = 3;

std::optional<uint16_t> Block(const ReceivedGroup& group, int index) {
  if (!group.usable[static_cast<size_t>(index)]) return std::nullopt;
  return group.blocks[static_cast<size_t>(index)];
}

int64_t MinutesOf(const ClockTime& clock) {
  return clock.mjd * 24 * 60 + clock.hour * 60 + clock.minute;
}

}  // namespace

void ExtendedDecoder::Clear() {
  afs_.Clear();
  labelling_.Clear();
  applications_.Clear();
  radioTextPlus_.Clear();
  clock_.reset();
  lastClock_.reset();
  ptyName_.Clear();
  longPs_.Clear();
  otherNetworks_.Clear();
  statistics_ = {};
}

void ExtendedDecoder::Feed(const ReceivedGroup& group, bool taken,
                           std::span<const uint8_t> radioText) {
  statistics_.blocks += kBlocksPerGroup;
  statistics_.damagedBlocks += static_cast<uint64_t>(group.UnusableCount());
  if (!taken) return;
  const uint16_t b = group.blocks[1];
  const int type = GroupTypeCode(b);
  const bool versionB = IsVersionB(b);
  const int typeIndex = type * 2 + (versionB ? 1 : 0);
  ++statistics_.groups[static_cast<size_t>(typeIndex)];
  const auto c = Block(group, 2);
  const auto d = Block(group, 3);

  // RadioText+ rides on whichever group type the registry names; look there first.
  if (const auto rtPlus = applications_.GroupTypeOf(kRadioTextPlusAid);
      rtPlus && *rtPlus == typeIndex && *rtPlus != kBasicTuning && c && d) {
    radioTextPlus_.Feed(b, *c, *d, radioText);
    return;
  }
  if (versionB) {
    if (type == kOtherNetworks) otherNetworks_.Feed(b, c, d);
    return;
  }
  switch (type) {
    case kBasicTuning:
      afs_.Feed(c.value_or(0), c.has_value());
      break;
    case kSlowLabelling:
      labelling_.Feed(c, d);
      break;
    case kOdaRegistry:
      if (d) applications_.Feed(b, *d);
      break;
    case kClockTime:
      FeedClock(group);
      break;
    case kPtyName:
      if (c && d) ptyName_.Feed(b, *c, *d);
      break;
    case kOtherNetworks:
      otherNetworks_.Feed(b, c, d);
      break;
    case kLongPs:
      if (c && d) longPs_.Feed(b & 0x07, *c, *d);
      break;
    default:
      break;
  }
}

void ExtendedDecoder::FeedClock(const ReceivedGroup& group) {
  if (!group.usable[2] || !group.usable[3]) return;
  const auto clock = DecodeClockTime(group.blocks[1], group.blocks[2], group.blocks[3]);
  if (!clock) return;
  // A clock counts once a second one follows it within a few minutes with the same offset:
  // a single damaged group would otherwise set a wrong time until the next minute.
  const auto follows = [&](const std::optional<ClockTime>& before) {
    if (!before || before->offsetHalfHours != clock->offsetHalfHours) return false;
    const int64_t step = MinutesOf(*clock) - MinutesOf(*before);
    return step >= 0 && step <= kMaxClockStepMinutes;
  };
  if (follows(clock_) || follows(lastClock_)) clock_ = clock;
  lastClock_ = clock;
}

}  // namespace halvane::driver::rds
