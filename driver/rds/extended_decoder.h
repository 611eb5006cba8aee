// Everything a station sends beside PI, PTY, the traffic flags, the name and RadioText: the
// alternative frequencies, slow labelling codes, open data applications with RadioText+, the
// clock, the programme type name, other networks and the long name; and how well the groups
// arrive. Fed the groups the basic decoder took as the station's.
#ifndef HALVANE_DRIVER_RDS_EXTENDED_DECODER_H
#define HALVANE_DRIVER_RDS_EXTENDED_DECODER_H

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "rds/af_codes.h"
#include "rds/clock_time.h"
#include "rds/group_decoder.h"
#include "rds/other_networks.h"
#include "rds/radiotext_plus.h"
#include "rds/slow_labelling.h"
#include "rds/text_segments.h"

namespace halvane::driver::rds {

// Group types counted as code x 2 + version (0A = 0, 0B = 1, ... 15B = 31).
inline constexpr int kGroupTypes = 32;

struct GroupStatistics {
  std::array<uint32_t, kGroupTypes> groups{};  // groups taken as the station's, by type
  uint64_t blocks = 0;                         // blocks received, taken or not
  uint64_t damagedBlocks = 0;                  // of them lost or uncorrectable
};

class ExtendedDecoder {
 public:
  // Every received group; `taken` says whether the basic decoder took it as the station's
  // (only those are read), `radioText` is the RadioText as assembled (RDS bytes).
  void Feed(const ReceivedGroup& group, bool taken, std::span<const uint8_t> radioText);
  void Clear();

  const AfListDecoder& afs() const { return afs_; }
  const SlowLabelling& labelling() const { return labelling_; }
  const OdaRegistry& applications() const { return applications_; }
  const RadioTextPlus& radioTextPlus() const { return radioTextPlus_; }
  const std::optional<ClockTime>& clock() const { return clock_; }
  const ProgrammeTypeName& ptyName() const { return ptyName_; }
  const SegmentedText& longPs() const { return longPs_; }
  const OtherNetworks& otherNetworks() const { return otherNetworks_; }
  const GroupStatistics& statistics() const { return statistics_; }

 private:
  void FeedClock(const ReceivedGroup& group);

  AfListDecoder afs_;
  SlowLabelling labelling_;
  OdaRegistry applications_;
  RadioTextPlus radioTextPlus_;
  std::optional<ClockTime> clock_;
  std::optional<ClockTime> lastClock_;  // the previous clock group, to confirm the next
  ProgrammeTypeName ptyName_;
  SegmentedText longPs_{8};
  OtherNetworks otherNetworks_;
  GroupStatistics statistics_;
};

}  // namespace halvane::driver::rds

#endif
