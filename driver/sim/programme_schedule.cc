#include "sim/programme_schedule.h"

#include <vector>

#include "rds/charset.h"
#include "rds/group_encoder.h"
#include "sim/rds_timing.h"

namespace halvane::driver::sim {
namespace {

constexpr uint8_t kStereoDecoderId = 0x01;  // DI bit d0
// Of every four RadioText slots a station with more to send gives one to the other groups; a
// message's slots are a whole number of such rounds.
constexpr uint64_t kSlotsPerExtraGroup = 4;
static_assert(kRadioTextGroupsPerMessage % kSlotsPerExtraGroup == 0);

size_t MessageCapacity(const band::RdsProgramme& programme) { return programme.versionB ? 32 : 64; }

// The traffic flag group n carries, its schedule counted `offsetMs` before the group count; a
// station telling of another programme reads that programme's flag the same way, so both say the
// same at every moment, and a switch between them does not start an announcement over.
bool TrafficAnnouncementAt(band::TrafficAnnouncement ta, int32_t periodS, uint64_t n,
                           int64_t offsetMs) {
  switch (ta) {
    case band::TrafficAnnouncement::Off:
      return false;
    case band::TrafficAnnouncement::On:
      return true;
    case band::TrafficAnnouncement::Toggle:
      break;
  }
  // Off for the first period, then on for one, and so on.
  const int64_t periodMs = int64_t{periodS} * 1000;
  return ((offsetMs + GroupArrivalMs(n)) / periodMs) % 2 == 1;
}

// `slot` counts the odd groups; `sent` is how many RadioText groups of this message went out
// before it, so the segments follow each other whatever other groups take slots in between.
rds::Group RadioTextGroup(const band::RdsProgramme& programme, const rds::GroupHeader& header,
                          uint64_t slot, uint64_t sent) {
  const uint64_t count = programme.radiotexts.size();
  const uint64_t message = slot / kRadioTextGroupsPerMessage % count;
  // A lone message keeps its flag, so it is never wiped; otherwise each change of message flips
  // it, also where the list starts over with an odd count of messages.
  const bool ab = count > 1 && slot / kRadioTextGroupsPerMessage % 2 == 1;
  const std::vector<uint8_t>& text = programme.radiotexts[message];
  std::vector<uint8_t> buffer(text);
  if (buffer.size() < MessageCapacity(programme)) buffer.push_back(rds::kEndOfText);
  const int segments = RadioTextSegments(programme, text.size());
  const int segment = static_cast<int>(sent % static_cast<uint64_t>(segments));
  return rds::EncodeRadioText(header, ab, segment, buffer);
}

// RadioText+ rides on 11A, as most stations send it.
constexpr int kRadioTextPlusGroup = 22;
constexpr uint16_t kRadioTextPlusAid = 0x4BD7;
constexpr uint8_t kAfCountBase = 224;
constexpr uint8_t kAfFiller = 205;
constexpr int32_t kFmFirstAfHz = 87'600'000;
constexpr int32_t kAfStepHz = 100'000;
bool HasExtras(const band::RdsProgramme& programme) {
  return programme.HasTags() || programme.ptyName.has_value() || !programme.otherNetworks.empty();
}

// The number of pairs a method A list of `afs` takes: the count code, the codes, a filler.
size_t AfPairs(const std::vector<int32_t>& afs) { return afs.size() / 2 + 1; }

// The `index`-th pair of the method A list of `afs`, sent in turn.
uint16_t AfPair(const std::vector<int32_t>& afs, uint64_t index) {
  if (afs.empty()) return rds::kNoAlternativeFrequencies;
  std::vector<uint8_t> codes{static_cast<uint8_t>(kAfCountBase + afs.size())};
  for (int32_t hz : afs) codes.push_back(static_cast<uint8_t>((hz - kFmFirstAfHz) / kAfStepHz + 1));
  if (codes.size() % 2 != 0) codes.push_back(kAfFiller);
  const size_t pair = index % (codes.size() / 2);
  return static_cast<uint16_t>(codes[2 * pair] << 8 | codes[2 * pair + 1]);
}

// Other networks: 14A variants 0..3 the name, 4 the AF list, 13 the programme type and
// traffic flag; 14B the traffic flag alone, sent for a while after it changed.
constexpr int kOtherNetworkGroup = 28;  // 14A; 14B is 29
constexpr int kOtherNetworkAfVariant = 4;
constexpr int kOtherNetworkPtyVariant = 13;
constexpr uint64_t kTrafficSwitchGroups = 23;  // about 2 s

bool TrafficOf(const band::OtherProgramme& other, uint64_t n, int64_t offsetMs) {
  return TrafficAnnouncementAt(other.ta, other.taPeriodS, n, offsetMs);
}

// True while `other` switched its traffic flag within the last kTrafficSwitchGroups groups.
bool TrafficSwitchedLately(const band::OtherProgramme& other, uint64_t n, int64_t offsetMs) {
  if (other.ta != band::TrafficAnnouncement::Toggle) return false;
  for (uint64_t k = n; k > 0 && n - k < kTrafficSwitchGroups; --k) {
    if (TrafficOf(other, k, offsetMs) != TrafficOf(other, k - 1, offsetMs)) return true;
  }
  return false;
}

rds::Group OtherNetworkGroup(const rds::GroupHeader& header, const band::OtherProgramme& other,
                             int variant, uint16_t info) {
  const auto low = static_cast<uint8_t>((other.tp ? 0x10 : 0) | variant);
  return rds::EncodeOdaGroup(header, kOtherNetworkGroup, low, info, other.pi);
}

rds::Group OtherNetworkTrafficGroup(const rds::GroupHeader& header,
                                    const band::OtherProgramme& other, uint64_t n,
                                    int64_t offsetMs) {
  const auto low =
      static_cast<uint8_t>((other.tp ? 0x10 : 0) | (TrafficOf(other, n, offsetMs) ? 0x08 : 0));
  return rds::EncodeOdaGroup(header, kOtherNetworkGroup + 1, low, 0, other.pi);
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

enum class ExtraKind { RadioTextPlusRegistration, RadioTextPlusTags, PtyName, OtherNetwork };

// One of the groups beyond name and RadioText: `part` is the PTYN segment, or the 14A variant
// (for variant 4, `pair` is the pair of the AF list).
struct Extra {
  ExtraKind kind;
  int part = 0;
  size_t network = 0;
  size_t pair = 0;
};

std::vector<Extra> ExtrasOf(const band::RdsProgramme& programme) {
  std::vector<Extra> extras;
  if (programme.HasTags()) {
    extras.push_back({ExtraKind::RadioTextPlusRegistration});
    extras.insert(extras.end(), 2, {ExtraKind::RadioTextPlusTags});
  }
  if (programme.ptyName)
    extras.insert(extras.end(), {{ExtraKind::PtyName, 0}, {ExtraKind::PtyName, 1}});
  for (size_t i = 0; i < programme.otherNetworks.size(); ++i) {
    for (int segment = 0; segment < 4; ++segment)
      extras.push_back({ExtraKind::OtherNetwork, segment, i});
    const std::vector<int32_t>& afs = programme.otherNetworks[i].alternativeFrequencies;
    for (size_t pair = 0; !afs.empty() && pair < AfPairs(afs); ++pair) {
      extras.push_back({ExtraKind::OtherNetwork, kOtherNetworkAfVariant, i, pair});
    }
    extras.push_back({ExtraKind::OtherNetwork, kOtherNetworkPtyVariant, i});
  }
  return extras;
}

// The `index`-th of the groups beyond name and RadioText, in turn, at group n. For a while after
// another programme's traffic flag changed, its 14B takes their place.
rds::Group ExtraGroup(const band::RdsProgramme& programme, const rds::GroupHeader& header,
                      uint64_t index, uint64_t message, uint64_t n, int64_t offsetMs) {
  std::vector<size_t> switched;
  for (size_t i = 0; i < programme.otherNetworks.size(); ++i) {
    if (TrafficSwitchedLately(programme.otherNetworks[i], n, offsetMs)) switched.push_back(i);
  }
  if (!switched.empty()) {
    return OtherNetworkTrafficGroup(
        header, programme.otherNetworks[switched[index % switched.size()]], n, offsetMs);
  }
  const std::vector<Extra> extras = ExtrasOf(programme);
  const Extra& extra = extras[index % extras.size()];
  switch (extra.kind) {
    case ExtraKind::RadioTextPlusRegistration:
      return rds::EncodeOdaRegistration(header, kRadioTextPlusGroup, kRadioTextPlusAid);
    case ExtraKind::RadioTextPlusTags:
      return RadioTextPlusGroup(programme, header, message);
    case ExtraKind::PtyName: {
      const auto& name = *programme.ptyName;
      const int segment = extra.part;
      const auto word = [&](int i) { return static_cast<uint16_t>(name[i] << 8 | name[i + 1]); };
      constexpr int kPtyNameGroup = 20;  // 10A
      return rds::EncodeOdaGroup(header, kPtyNameGroup, static_cast<uint8_t>(segment),
                                 word(4 * segment), word(4 * segment + 2));
    }
    case ExtraKind::OtherNetwork:
      break;
  }
  const band::OtherProgramme& other = programme.otherNetworks[extra.network];
  if (extra.part == kOtherNetworkAfVariant) {
    return OtherNetworkGroup(header, other, extra.part,
                             AfPair(other.alternativeFrequencies, extra.pair));
  }
  if (extra.part == kOtherNetworkPtyVariant) {
    const auto info =
        static_cast<uint16_t>(other.pty << 11 | (TrafficOf(other, n, offsetMs) ? 1 : 0));
    return OtherNetworkGroup(header, other, extra.part, info);
  }
  const auto name = [&](int i) {
    return static_cast<uint16_t>(other.ps[i] << 8 | other.ps[i + 1]);
  };
  return OtherNetworkGroup(header, other, extra.part, name(2 * extra.part));
}

}  // namespace

int RadioTextSegments(const band::RdsProgramme& programme, size_t textLength) {
  const size_t capacity = MessageCapacity(programme);
  const size_t perSegment = programme.versionB ? 2 : 4;
  const size_t length = textLength < capacity ? textLength + 1 : capacity;
  return static_cast<int>((length + perSegment - 1) / perSegment);
}

rds::Group ProgrammeGroup(const band::RdsProgramme& programme, bool stereo, uint64_t n,
                          int64_t offsetMs) {
  const rds::GroupHeader header{programme.pi, programme.pty, programme.tp, programme.versionB};
  const bool psOnly = programme.radiotexts.empty() && !HasExtras(programme);
  if (psOnly || n % 2 == 0) {
    const uint64_t psIndex = psOnly ? n : n / 2;
    return rds::EncodeBasicTuning(
        header, TrafficAnnouncementAt(programme.ta, programme.taPeriodS, n, offsetMs),
        programme.music, stereo ? kStereoDecoderId : 0, static_cast<int>(psIndex % 4), programme.ps,
        AfPair(programme.alternativeFrequencies, psIndex));
  }
  const uint64_t slot = n / 2;
  if (HasExtras(programme) &&
      (programme.radiotexts.empty() || slot % kSlotsPerExtraGroup == kSlotsPerExtraGroup - 1)) {
    const uint64_t message = slot / kRadioTextGroupsPerMessage;
    return ExtraGroup(programme, header, slot / kSlotsPerExtraGroup,
                      programme.radiotexts.empty() ? 0 : message % programme.radiotexts.size(), n,
                      offsetMs);
  }
  const uint64_t inMessage = slot % kRadioTextGroupsPerMessage;
  const uint64_t sent =
      HasExtras(programme) ? inMessage - inMessage / kSlotsPerExtraGroup : inMessage;
  return RadioTextGroup(programme, header, slot, sent);
}

bool AnnouncementDuring(const band::RdsProgramme& programme, uint64_t n, int64_t offsetMs) {
  return TrafficAnnouncementAt(programme.ta, programme.taPeriodS, n, offsetMs);
}

}  // namespace halvane::driver::sim
