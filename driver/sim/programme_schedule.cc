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

}  // namespace

int RadioTextSegments(const band::RdsProgramme& programme, size_t textLength) {
  const size_t capacity = MessageCapacity(programme);
  const size_t perSegment = programme.versionB ? 2 : 4;
  const size_t length = textLength < capacity ? textLength + 1 : capacity;
  return static_cast<int>((length + perSegment - 1) / perSegment);
}

rds::Group ProgrammeGroup(const band::RdsProgramme& programme, bool stereo, uint64_t n) {
  const rds::GroupHeader header{programme.pi, programme.pty, programme.tp, programme.versionB};
  if (programme.radiotexts.empty() || n % 2 == 0) {
    const uint64_t psIndex = programme.radiotexts.empty() ? n : n / 2;
    return rds::EncodeBasicTuning(header, TrafficAnnouncementAt(programme, n), programme.music,
                                  stereo ? kStereoDecoderId : 0, static_cast<int>(psIndex % 4),
                                  programme.ps);
  }
  return RadioTextGroup(programme, header, n / 2);
}

}  // namespace halvane::driver::sim
