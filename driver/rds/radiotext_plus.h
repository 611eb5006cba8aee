// RadioText+: the open data application that tags parts of the RadioText (artist, title, the
// programme now on air...). Group 3A registers it with its application identification and the
// group type it rides on (open_data.h); that group then carries two tags and the item
// toggle/running bits.
#ifndef HALVANE_DRIVER_RDS_RADIOTEXT_PLUS_H
#define HALVANE_DRIVER_RDS_RADIOTEXT_PLUS_H

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "rds/confirmation.h"
#include "rds/received_group.h"
#include "rds/whole_text.h"

namespace halvane::driver::rds {

inline constexpr uint16_t kRadioTextPlusAid = 0x4BD7;

// Content types of the tags this decoder keeps (the rest are read and passed over).
enum class RtPlusContent : uint8_t {
  Title = 1,
  Album = 2,
  Artist = 4,
  ProgrammeNow = 33,
  ProgrammeHost = 36,
  Homepage = 39,
  PhoneHotline = 41,
  PhoneStudio = 42,
  SmsStudio = 44,
  Url = 29,
};

struct RtPlusTag {
  uint8_t contentType = 0;
  uint8_t start = 0;   // first character in the RadioText
  uint8_t length = 0;  // characters

  bool operator==(const RtPlusTag&) const = default;
};

// The two tags of an RT+ group (block B's low five bits, blocks C and D). A tag of content 0 or
// reaching past the RadioText's 64 characters is no tag.
std::array<std::optional<RtPlusTag>, 2> DecodeRtPlusTags(uint16_t blockB, uint16_t blockC,
                                                         uint16_t blockD);

class RadioTextPlus {
 public:
  // One RT+ group, with the RadioText being received. A tag is read only while that message
  // is whole (the tags of a new message may come before it is), and only when no end of text
  // lies inside it; its text, trimmed of blanks at both ends, counts once two groups give the
  // same for the same content type, or one group whose blocks needed no correction. The running
  // and toggle bits change only when two groups in a row agree.
  void Feed(const ReceivedGroup& group, const WholeText& radioText);
  void Clear();

  bool itemRunning() const { return running_.shown().value_or(false); }
  // The confirmed text of a content type (RDS bytes); item types only while the item runs.
  std::optional<std::vector<uint8_t>> Text(RtPlusContent content) const;

 private:
  Confirmed<bool> running_;
  Confirmed<bool> toggle_;
  std::optional<bool> item_;  // the toggle of the item whose tags are kept
  std::map<uint8_t, Confirmed<std::vector<uint8_t>>> texts_;
};

}  // namespace halvane::driver::rds

#endif
