// Group 1A: the programme item number in block D and, by variant in block C, the extended
// country code (variant 0) and the language of the programme (variant 3).
#ifndef HALVANE_DRIVER_RDS_SLOW_LABELLING_H
#define HALVANE_DRIVER_RDS_SLOW_LABELLING_H

#include <cstdint>
#include <optional>

#include "rds/confirmation.h"
#include "rds/received_group.h"

namespace halvane::driver::rds {

// Day of the month, hour and minute at which the programme item was announced to start.
struct ProgrammeItem {
  int day = 0;  // 1..31
  int hour = 0;
  int minute = 0;

  bool operator==(const ProgrammeItem&) const = default;
};

// The item number in block D; none when the day is 0 (no number sent) or a field is out of
// range.
std::optional<ProgrammeItem> DecodeProgrammeItem(uint16_t blockD);

struct StationState;

class SlowLabelling {
 public:
  // Blocks C and D of a 1A group, each only when usable; `intactC`/`intactD` when that block and
  // block B needed no correction.
  void Feed(std::optional<uint16_t> blockC, bool intactC, std::optional<uint16_t> blockD,
            bool intactD);

  const std::optional<uint8_t>& ecc() const { return ecc_.shown(); }
  const std::optional<uint16_t>& language() const { return language_.shown(); }
  const std::optional<ProgrammeItem>& item() const { return item_.shown(); }

 private:
  Confirmed<uint8_t> ecc_;
  Confirmed<uint16_t> language_;
  Confirmed<ProgrammeItem> item_;
};

void DecodeSlowLabelling(const ReceivedGroup& group, StationState& station);

}  // namespace halvane::driver::rds

#endif
