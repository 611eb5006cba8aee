#include "sim/programme_schedule.h"

#include <gtest/gtest.h>

#include <set>

namespace halvane::driver::sim {
namespace {

// Every segment of a message goes out within the message's groups, whatever other groups share
// the odd slots: a station with a programme type name, RadioText+ tags or other networks sends
// one of those in every fourth slot, and texts of 4, 8, 12 or 16 segments must still complete.
TEST(ProgrammeSchedule, EveryRadioTextSegmentIsSentWhateverElseTheStationSends) {
  band::RdsProgramme extras;
  extras.ptyName = std::array<uint8_t, 8>{'F', 'O', 'O', 'T', 'B', 'A', 'L', 'L'};
  band::RdsProgramme plain;
  band::RdsProgramme versionB = extras;
  versionB.versionB = true;
  for (const band::RdsProgramme* base : {&plain, &extras, &versionB}) {
    const size_t capacity = base->versionB ? 32 : 64;
    for (size_t length = 1; length <= capacity; ++length) {
      band::RdsProgramme programme = *base;
      programme.radiotexts = {std::vector<uint8_t>(length, 'x')};
      const int segments = RadioTextSegments(programme, length);
      std::set<int> sent;
      for (uint64_t n = 0; n < 2 * kRadioTextGroupsPerMessage; ++n) {
        const rds::Group group = ProgrammeGroup(programme, false, n);
        if (rds::GroupTypeCode(group[1]) == 2) sent.insert(group[1] & 0x0F);
      }
      EXPECT_EQ(sent.size(), static_cast<size_t>(segments))
          << length << " characters, version B " << programme.versionB << ", extras "
          << programme.ptyName.has_value();
    }
  }
}

}  // namespace
}  // namespace halvane::driver::sim
