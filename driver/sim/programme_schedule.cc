#include "sim/programme_schedule.h"

#include <vector>

#include "rds/charset.h"
#include "rds/group_encoder.h"
#include "sim/rds_timing.h"

namespace halvane::driver::sim {
namespace {

constexpr uint8_t kStereoDecoderId = 0x01;  // DI bit d0

size_t MessageCapacity(const band::RdsProgramme& programme) { return programme.versionB ? 32 : 64; }

bool TrafficAnnouncementAt(const band::RdsProgramme& programme, uint64_t n) {
  switch (programme.ta) {
    case band::TrafficAnnouncement::Off:
      return false;
    case band::TrafficAnnouncement::On:
      return true;
    case band::TrafficAnnouncement::Toggle:
      break;
  }
  // Off for the first period, then on for one, and so on.
  const int64_t periodMs = int64_t{programme.taPeriodS} * 1000;
  return (GroupArrivalMs(n) / periodMs) % 2 == 1;
}

rds::Group RadioTextGroup(const band::RdsProgramme& programme, const rds::GroupHeader& header,
                          uint64_t index) {
  const uint64_t count = programme.radiotexts.size();
  const uint64_t slot = index / kRadioTextGroupsPerMessage;
  const uint64_t message = slot % count;
  // A lone message keeps its flag, so it is never wiped; otherwise each change of message flips
  // it, also where the list starts over with an odd count of messages.
  const bool ab = count > 1 && slot % 2 == 1;
  const std::vector<uint8_t>& text = programme.radiotexts[message];
  std::vector<uint8_t> buffer(text);
  if (buffer.size() < MessageCapacity(programme)) buffer.push_back(rds::kEndOfText);
  const int segments = RadioTextSegments(programme, text.size());
  const int segment = static_cast<int>(index % kRadioTextGroupsPerMessage % segments);
  return rds::EncodeRadioText(header, ab, segment, buffer);
}

// RadioText+ rides on 11A, as most stations send it.
constexpr int kRadioTextPlusGroup = 22;
constexpr uint16_t kRadioTextPlusAid = 0x4BD7;
constexpr uint8_t kAfCountBase = 224;
constexpr uint8_t kAfFiller = 205;
constexpr int32_t kFmFirstAfHz = 87'600'000;
constexpr int32_t kAfStepHz = 100'000;
// Of every four RadioText slots a station with more to send gives one to the other groups.
constexpr uint64_t kSlotsPerExtraGroup = 4;

bool HasExtras(const band::RdsProgramme& programme) {
  return programme.HasTags() || programme.ptyName.has_value();
}

// Block 3 of the `index`-th 0A group: the AF list sent by method A, a pair at a time.
uint16_t AfPair(const band::RdsProgramme& programme, uint64_t index) {
  const std::vector<int32_t>& afs = programme.alternativeFrequencies;
  if (afs.empty()) return rds::kNoAlternativeFrequencies;
  std::vector<uint8_t> codes{static_cast<uint8_t>(kAfCountBase + afs.size())};
  for (int32_t hz : afs) codes.push_back(static_cast<uint8_t>((hz - kFmFirstAfHz) / kAfStepHz + 1));
  if (codes.size() % 2 != 0) codes.push_back(kAfFiller);
  const size_t pair = index % (codes.size() / 2);
  return static_cast<uint16_t>(codes[2 * pair] << 8 | codes[2 * pair + 1]);
}

// The RadioText+ group for message `message`: its first two tags, the item running.
rds::Group RadioTextPlusGroup(const band::RdsProgramme& programme, const rds::GroupHeader& header,
                              uint64_t message) {
  const std::vector<band::RadioTextTag>& tags =
      programme.radiotextTags[message % programme.radiotextTags.size()];
  const band::RadioTextTag none{};
  const band::RadioTextTag& first = !tags.empty() ? tags[0] : none;
  const band::RadioTextTag& second = tags.size() > 1 ? tags[1] : none;
  const int length1 = first.length > 0 ? first.length - 1 : 0;
  const int length2 = second.length > 0 ? second.length - 1 : 0;
  // The item toggle follows the message, so each message is an item of its own.
  const auto low = static_cast<uint8_t>((message % 2) << 4 | (tags.empty() ? 0 : 0x08) |
                                        (first.contentType >> 3));
  const auto c = static_cast<uint16_t>((first.contentType & 7) << 13 | (first.start & 0x3F) << 7 |
                                       (length1 & 0x3F) << 1 | (second.contentType >> 5));
  const auto d = static_cast<uint16_t>((second.contentType & 0x1F) << 11 |
                                       (second.start & 0x3F) << 5 | (length2 & 0x1F));
  return rds::EncodeOdaGroup(header, kRadioTextPlusGroup, low, c, d);
}

// The `index`-th of the groups beyond name and RadioText, in turn.
rds::Group ExtraGroup(const band::RdsProgramme& programme, const rds::GroupHeader& header,
                      uint64_t index, uint64_t message) {
  std::vector<int> kinds;  // 0 RT+ registration, 1 RT+ tags, 2 and 3 the PTYN segments
  if (programme.HasTags()) kinds.insert(kinds.end(), {0, 1, 1});
  if (programme.ptyName) kinds.insert(kinds.end(), {2, 3});
  const int kind = kinds[index % kinds.size()];
  if (kind == 0) return rds::EncodeOdaRegistration(header, kRadioTextPlusGroup, kRadioTextPlusAid);
  if (kind == 1) return RadioTextPlusGroup(programme, header, message);
  const auto& name = *programme.ptyName;
  const int segment = kind - 2;
  const auto word = [&](int i) { return static_cast<uint16_t>(name[i] << 8 | name[i + 1]); };
  constexpr int kPtyNameGroup = 20;  // 10A
  return rds::EncodeOdaGroup(header, kPtyNameGroup, static_cast<uint8_t>(segment),
                             word(4 * segment), word(4 * segment + 2));
}

}  // namespace

int RadioTextSegments(const band::RdsProgramme& programme, size_t textLength) {
  const size_t capacity = MessageCapacity(programme);
  const size_t perSegment = programme.versionB ? 2 : 4;
  const size_t length = textLength < capacity ? textLength + 1 : capacity;
  return static_cast<int>((length + perSegment - 1) / perSegment);
}

rds::Group ProgrammeGroup(const band::RdsProgramme& programme, bool stereo, uint64_t n) {
  const rds::GroupHeader header{programme.pi, programme.pty, programme.tp, programme.versionB};
  const bool psOnly = programme.radiotexts.empty() && !HasExtras(programme);
  if (psOnly || n % 2 == 0) {
    const uint64_t psIndex = psOnly ? n : n / 2;
    return rds::EncodeBasicTuning(header, TrafficAnnouncementAt(programme, n), programme.music,
                                  stereo ? kStereoDecoderId : 0, static_cast<int>(psIndex % 4),
                                  programme.ps, AfPair(programme, psIndex));
  }
  const uint64_t slot = n / 2;
  if (HasExtras(programme) &&
      (programme.radiotexts.empty() || slot % kSlotsPerExtraGroup == kSlotsPerExtraGroup - 1)) {
    const uint64_t message = slot / kRadioTextGroupsPerMessage;
    return ExtraGroup(programme, header, slot / kSlotsPerExtraGroup,
                      programme.radiotexts.empty() ? 0 : message % programme.radiotexts.size());
  }
  return RadioTextGroup(programme, header, slot);
}

}  // namespace halvane::driver::sim
