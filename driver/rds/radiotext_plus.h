// RadioText+: the open data application that tags parts of the RadioText (artist, title, the
// programme now on air...). Group 3A registers it with its application identification and the
// group type it rides on; that group then carries two tags and the item toggle/running bits.
#ifndef HALVANE_DRIVER_RDS_RADIOTEXT_PLUS_H
#define HALVANE_DRIVER_RDS_RADIOTEXT_PLUS_H

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "rds/twice_alike.h"

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

// Group 3A: which group type an open data application rides on, by application identification.
class OdaRegistry {
 public:
  // Blocks B and D of a 3A group: the application's group type code and version, and its AID.
  void Feed(uint16_t blockB, uint16_t blockD);
  void Clear();
  // The group type (code x 2 + version B) the application rides on, once registered twice alike.
  std::optional<int> GroupTypeOf(uint16_t aid) const;
  const std::map<uint16_t, int>& applications() const { return applications_; }

 private:
  std::map<uint16_t, TwiceAlike<int>> candidates_;
  std::map<uint16_t, int> applications_;
};

class RadioTextPlus {
 public:
  // One RT+ group with the RadioText as assembled (RDS bytes). Tag texts are taken from the
  // RadioText and count once two groups give the same text for the same content type.
  void Feed(uint16_t blockB, uint16_t blockC, uint16_t blockD, std::span<const uint8_t> text);
  void Clear();

  bool itemRunning() const { return running_; }
  // The confirmed text of a content type (RDS bytes); item types only while the item runs.
  std::optional<std::vector<uint8_t>> Text(RtPlusContent content) const;

 private:
  bool running_ = false;
  int toggle_ = -1;
  std::map<uint8_t, TwiceAlike<std::vector<uint8_t>>> texts_;
};

}  // namespace halvane::driver::rds

#endif
