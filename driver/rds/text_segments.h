// A text sent a segment at a time where every segment must come twice alike before it shows:
// the programme type name (10A, two segments of four characters, with an A/B flag announcing a
// new name) and the long programme service name (15A, eight segments of four bytes of UTF-8).
#ifndef HALVANE_DRIVER_RDS_TEXT_SEGMENTS_H
#define HALVANE_DRIVER_RDS_TEXT_SEGMENTS_H

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "rds/twice_alike.h"

namespace halvane::driver::rds {

class SegmentedText {
 public:
  explicit SegmentedText(int segments) : segments_(static_cast<size_t>(segments)) {}

  // Four bytes of segment `index` (blocks C and D).
  void Feed(int index, uint16_t blockC, uint16_t blockD);
  void Clear();

  // The bytes once every segment up to the end of the text is confirmed: up to the first
  // carriage return or NUL, else all of them; none before that.
  std::optional<std::vector<uint8_t>> Text() const;

 private:
  std::vector<TwiceAlike<std::array<uint8_t, 4>>> segments_;
};

// Group 10A: the programme type name.
class ProgrammeTypeName {
 public:
  void Feed(uint16_t blockB, uint16_t blockC, uint16_t blockD);
  void Clear();
  std::optional<std::vector<uint8_t>> Text() const { return text_.Text(); }

 private:
  SegmentedText text_{2};
  int ab_ = -1;
};

}  // namespace halvane::driver::rds

#endif
