// What the receiver repairs of a damaged RDS block, as its group tap reports it: short bursts
// while the block sync is solid, nothing while it is not, and never a burst the code tells
// apart only a third of the time.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "rds/group_encoder.h"
#include "sdr_test_support.h"

namespace halvane::driver::testing_support {
namespace {

using Blocks = std::array<uint32_t, rds::kBlocksPerGroup>;
using Flags = std::array<bool, rds::kBlocksPerGroup>;

struct Damaged {
  uint64_t group;  // its number on the air
  rds::Group sent;
  Blocks burst;  // the bits flipped in each block
  Flags usable, corrected;
};

TEST(SdrReceiverRds, RepairsOnlyShortBurstsAndOnlyWhileTheSyncIsSolid) {
  // Groups of their own (block B says 0A), so that the tap's groups can be told by their blocks.
  const Damaged cases[] = {
      // Solid: the 2-bit burst is repaired, the 5-bit one is not.
      {20,
       {0xB020, 0x0548, 0xC020, 0xD020},
       {0, 0b11u << 7, 0b10011u << 12, 0},
       {true, true, false, true},
       {false, true, false, false}},
      // Three of the last eight blocks damaged: the sync is no longer solid, a lone bit is lost.
      {21, {0xB021, 0x0548, 0xC021, 0xD021}, {1u << 20, 0, 0, 0}, {false, true, true, true}, {}},
      // Two clean groups later it is solid again.
      {24,
       {0xB024, 0x0548, 0xC024, 0xD024},
       {0, 0, 0, 1u << 3},
       {true, true, true, true},
       {false, false, false, true}},
  };
  sdr::TransmitterOptions options = ImpairedStation(40);
  options.cnrDb.reset();  // the bursts are the only damage
  options.multiplex.rdsOnAir = [&](uint64_t group, Blocks& blocks) {
    for (const Damaged& c : cases) {
      if (c.group != group) continue;
      blocks = rds::EncodeBlocks(c.sent);
      for (size_t i = 0; i < blocks.size(); ++i) blocks[i] ^= c.burst[i];
    }
  };
  sdr::Transmitter transmitter(options);
  sdr::Receiver receiver({kTestRate, 50});
  receiver.Tune(0);
  std::vector<rds::ReceivedGroup> tapped;
  receiver.TapGroups([&](const rds::ReceivedGroup& group) { tapped.push_back(group); });
  RunStation(transmitter, receiver, 3.0);

  for (const Damaged& c : cases) {
    SCOPED_TRACE(c.group);
    int seen = 0;
    for (const rds::ReceivedGroup& r : tapped) {
      int intact = 0;
      bool same = true;
      for (size_t i = 0; i < c.sent.size(); ++i) {
        if (!r.Intact(static_cast<int>(i))) continue;
        ++intact;
        same = same && r.blocks[i] == c.sent[i];
      }
      if (!same || intact < 2) continue;
      ++seen;
      EXPECT_EQ(r.usable, c.usable);
      EXPECT_EQ(r.corrected, c.corrected);
      for (size_t i = 0; i < c.sent.size(); ++i) {
        if (r.usable[i]) {
          EXPECT_EQ(r.blocks[i], c.sent[i]) << "block " << i;
        }
      }
    }
    EXPECT_EQ(seen, 1);
  }
}

}  // namespace
}  // namespace halvane::driver::testing_support
