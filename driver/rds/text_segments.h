// Texts sent four bytes a group, each shown only whole (whole_text.h): the programme type name
// (10A, two segments, with an A/B flag announcing a new name) and the long programme service
// name (15A, eight segments of UTF-8). Both end at a carriage return or NUL, or fill every
// segment.
#ifndef HALVANE_DRIVER_RDS_TEXT_SEGMENTS_H
#define HALVANE_DRIVER_RDS_TEXT_SEGMENTS_H

#include <cstdint>
#include <optional>
#include <vector>

#include "rds/confirmation.h"
#include "rds/received_group.h"
#include "rds/whole_text.h"

namespace halvane::driver::rds {

// Four bytes of segment `index` (blocks C and D) into `text`; `intact` when blocks B, C and D
// needed no correction.
void FeedSegment(WholeText& text, int index, uint16_t blockC, uint16_t blockD, bool intact);

struct StationState;

// Group 10A: the programme type name. Its A/B flag announces a new name; like RadioText's, a
// change counts once two groups in a row carry it, so a damaged block B never wipes the name.
class ProgrammeTypeName {
 public:
  void Feed(const ReceivedGroup& group);
  std::optional<std::vector<uint8_t>> Text() const { return text_.Text(); }

 private:
  WholeText text_{2, 4, TextEnd::CarriageReturnOrNul};
  Confirmed<bool> abChange_;
  std::optional<bool> ab_;  // the flag of the name being assembled
};

void DecodeProgrammeTypeName(const ReceivedGroup& group, StationState& station);
// Group 15A: the long programme service name, eight segments of four bytes.
void DecodeLongPs(const ReceivedGroup& group, StationState& station);

}  // namespace halvane::driver::rds

#endif
