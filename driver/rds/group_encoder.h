// Builds the groups a station broadcasts: 0A/0B for the basic tuning data and the programme
// service name, 2A/2B for RadioText, and turns a group into the four 26-bit blocks sent.
#ifndef HALVANE_DRIVER_RDS_GROUP_ENCODER_H
#define HALVANE_DRIVER_RDS_GROUP_ENCODER_H

#include <array>
#include <cstdint>
#include <span>

#include "rds/group.h"

namespace halvane::driver::rds {

// What every group of a station carries in blocks A and B.
struct GroupHeader {
  uint16_t pi = 0;
  uint8_t pty = 0;  // 0..31
  bool tp = false;
  bool versionB = false;
};

// Block 3 of group 0A when the station lists no alternative frequencies: code 224 ("no AF
// exists") followed by the filler code 205.
inline constexpr uint16_t kNoAlternativeFrequencies = 0xE0CD;

// Group 0: `segment` 0..3 carries PS characters 2*segment and 2*segment+1 and decoder
// identification bit 3-segment of `di` (bit 0 is the stereo flag); version A carries `afPair`,
// two AF codes, in block 3.
Group EncodeBasicTuning(const GroupHeader& header, bool ta, bool ms, uint8_t di, int segment,
                        std::span<const uint8_t, 8> ps,
                        uint16_t afPair = kNoAlternativeFrequencies);

// The open data application groups: 3A registering `aid` on group type `groupType` (code x 2 +
// version), and any group of type `groupType` carrying the application's blocks B (low five
// bits), C and D.
Group EncodeOdaRegistration(const GroupHeader& header, int groupType, uint16_t aid);
Group EncodeOdaGroup(const GroupHeader& header, int groupType, uint8_t lowBits, uint16_t c,
                     uint16_t d);

// Group 2: version A `segment` 0..15 carries text[4*segment .. 4*segment+3]; version B carries
// text[2*segment .. 2*segment+1]. `text` holds the whole message buffer (64 bytes for A, at least
// 32 for B); `ab` is the text A/B flag.
Group EncodeRadioText(const GroupHeader& header, bool ab, int segment,
                      std::span<const uint8_t> text);

// The four 26-bit blocks of `group`, with offset C' on block 3 of a version B group.
std::array<uint32_t, kBlocksPerGroup> EncodeBlocks(const Group& group);

}  // namespace halvane::driver::rds

#endif
