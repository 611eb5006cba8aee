// A text sent a segment at a time where every segment must come twice alike, or once from blocks
// that needed no correction, before it shows:
// the programme type name (10A, two segments of four characters, with an A/B flag announcing a
// new name) and the long programme service name (15A, eight segments of four bytes of UTF-8).
#ifndef HALVANE_DRIVER_RDS_TEXT_SEGMENTS_H
#define HALVANE_DRIVER_RDS_TEXT_SEGMENTS_H

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "rds/confirmation.h"
#include "rds/received_group.h"

namespace halvane::driver::rds {

class SegmentedText {
 public:
  explicit SegmentedText(int segments) : segments_(static_cast<size_t>(segments)) {}

  // Four bytes of segment `index` (blocks C and D); `intact` when blocks B, C and D needed no
  // correction.
  void Feed(int index, uint16_t blockC, uint16_t blockD, bool intact);
  void Clear();

  // The bytes once every segment up to the end of the text is confirmed: up to the first
  // carriage return or NUL, else all of them; none before that.
  std::optional<std::vector<uint8_t>> Text() const;

 private:
  std::vector<Confirmed<std::array<uint8_t, 4>>> segments_;
};

struct StationState;

// Group 10A: the programme type name. Its A/B flag announces a new name; like RadioText's, a
// change counts once two groups in a row carry it, so a damaged block B never wipes the name.
class ProgrammeTypeName {
 public:
  void Feed(const ReceivedGroup& group);
  std::optional<std::vector<uint8_t>> Text() const { return text_.Text(); }

 private:
  SegmentedText text_{2};
  Confirmed<bool> abChange_;
  std::optional<bool> ab_;  // the flag of the name being assembled
};

void DecodeProgrammeTypeName(const ReceivedGroup& group, StationState& station);
// Group 15A: the long programme service name, eight segments of four bytes.
void DecodeLongPs(const ReceivedGroup& group, StationState& station);

}  // namespace halvane::driver::rds

#endif
