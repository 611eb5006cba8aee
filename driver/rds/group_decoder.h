// Turns received blocks into groups, and groups into the station's RDS data: PI, PTY, TP, TA, MS,
// the programme service name and RadioText, assembled a segment at a time.
#ifndef HALVANE_DRIVER_RDS_GROUP_DECODER_H
#define HALVANE_DRIVER_RDS_GROUP_DECODER_H

#include <array>
#include <cstdint>
#include <optional>

#include "rds/group.h"

namespace halvane::driver::rds {

// A group as it came off the air: a block is absent when the receiver lost it altogether.
using AirGroup = std::array<std::optional<uint32_t>, kBlocksPerGroup>;

struct ReceivedGroup {
  Group blocks{};
  std::array<bool, kBlocksPerGroup> usable{};  // false: lost or uncorrectable, do not read

  int UnusableCount() const;
};

// Checks and corrects each block at its position. Block 3 is expected with offset C' when block
// B says the group is version B; when block B itself is unusable only an exact C or C' is taken.
ReceivedGroup DecodeAirGroup(const AirGroup& air);

// What the decoder has assembled. Text is kept in RDS bytes; positions not yet received hold
// blanks.
struct RdsData {
  uint16_t pi = 0;
  uint8_t pty = 0;
  bool tp = false;
  bool ta = false;
  bool ms = false;
  std::array<uint8_t, 8> ps{};
  std::array<uint8_t, 64> rt{};
};

class GroupDecoder {
 public:
  GroupDecoder();

  // Feeds one group. Returns true when the group was taken as the station's: block B usable and
  // its PI (block A, or C' in a version B group) the station's. A group carrying a different PI
  // is dropped, unless that PI comes twice in a row: then the decoder starts over with the new
  // station, so a single damaged PI neither switches stations nor wipes the text.
  bool Feed(const ReceivedGroup& group);

  // Forgets everything, as after tuning to another frequency.
  void Clear();

  // True once a group has been taken since the last Clear.
  bool HasData() const { return has_pi_; }
  const RdsData& data() const { return data_; }

 private:
  bool AcceptPi(uint16_t pi);
  void ClearText();

  RdsData data_;
  bool has_pi_ = false;
  uint16_t pi_candidate_ = 0;
  int pi_candidate_count_ = 0;
  int rt_ab_ = -1;  // the A/B flag of the message being assembled, -1 before the first
};

}  // namespace halvane::driver::rds

#endif
