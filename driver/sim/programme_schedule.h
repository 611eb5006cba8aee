// Which group a station sends n groups after it was tuned: a fixed, repeating pattern.
//
// Even groups carry the programme service name (0A/0B, segments 0..3 in turn, so the whole name
// takes 8 groups, about 0.7 s); odd groups carry RadioText (2A/2B). Each message is sent for
// kRadioTextGroupsPerMessage odd groups (about 8.4 s), then the next one follows with the
// A/B flag flipped. A station without RadioText sends only group 0.
#ifndef HALVANE_DRIVER_SIM_PROGRAMME_SCHEDULE_H
#define HALVANE_DRIVER_SIM_PROGRAMME_SCHEDULE_H

#include <cstdint>

#include "band/station.h"
#include "rds/group.h"

namespace halvane::driver::sim {

inline constexpr uint64_t kRadioTextGroupsPerMessage = 48;

// The n-th group (from 0). `stereo` goes into the decoder-identification bits. The traffic flags
// follow a schedule counted from `offsetMs` before group 0 (the radio's start), not from group 0.
rds::Group ProgrammeGroup(const band::RdsProgramme& programme, bool stereo, uint64_t n,
                          int64_t offsetMs = 0);

// Whether the station's traffic announcement runs while group n is sent: what the TA flag of
// group n says, and what the programme's sound carries.
bool AnnouncementDuring(const band::RdsProgramme& programme, uint64_t n, int64_t offsetMs = 0);

// The number of RadioText segments message `text` takes, its 0x0D terminator included when it
// is shorter than the group version's maximum.
int RadioTextSegments(const band::RdsProgramme& programme, size_t textLength);

}  // namespace halvane::driver::sim

#endif
