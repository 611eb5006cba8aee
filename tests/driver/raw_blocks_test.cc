#include "rds/raw_blocks.h"

#include <gtest/gtest.h>

#include "rds/group_encoder.h"
#include "v4l2_test_support.h"

namespace halvane::driver::rds {
namespace {

using testing_support::RecordsOf;

constexpr GroupHeader kHeader{0x1234, 5, false, false};

TEST(RawBlocks, RecordLayoutIsLowByteHighByteStatus) {
  const RawBlock block = ReadRawRecord(std::array<uint8_t, 3>{0x34, 0x12, 0xC4});
  EXPECT_EQ(block.info, 0x1234);
  EXPECT_EQ(block.position, kRawPositionCPrime);
  EXPECT_TRUE(block.corrected);
  EXPECT_TRUE(block.error);
  EXPECT_TRUE(block.damaged());
  EXPECT_EQ(WriteRawRecord(block), (std::array<uint8_t, 3>{0x34, 0x12, 0xC4}));
  EXPECT_TRUE(ReadRawRecord(std::array<uint8_t, 3>{0, 0, kRawPositionInvalid}).damaged());
  EXPECT_FALSE(
      ReadRawRecord(std::array<uint8_t, 3>{0, 0, kRawPositionD | kRawCorrected}).damaged());
}

TEST(RawBlocks, DumpIgnoresATrailingPartialRecord) {
  const std::vector<uint8_t> bytes = {0x01, 0x02, 0x00, 0x03, 0x04, 0x01, 0x05};
  const std::vector<RawBlock> blocks = ParseRawBlockDump(bytes);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[1].info, 0x0403);
  EXPECT_EQ(blocks[1].position, kRawPositionB);
  EXPECT_TRUE(ParseRawBlockDump({}).empty());
}

std::vector<ReceivedGroup> Assemble(const std::vector<uint8_t>& bytes) {
  RawGroupAssembler assembler;
  std::vector<ReceivedGroup> groups;
  for (const RawBlock& block : ParseRawBlockDump(bytes)) {
    assembler.Add(block, [&](const ReceivedGroup& group) { groups.push_back(group); });
  }
  return groups;
}

TEST(RawBlocks, AssemblesGroupsAndMarksErroredBlocks) {
  const std::array<uint8_t, 8> ps = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
  const Group group = EncodeBasicTuning(kHeader, false, true, 0, 1, ps);
  const std::vector<ReceivedGroup> groups =
      Assemble(RecordsOf(group, {0, kRawCorrected, kRawError, 0}));
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].blocks[0], 0x1234);
  EXPECT_EQ(groups[0].blocks[1], group[1]);
  EXPECT_EQ(groups[0].usable, (std::array<bool, 4>{true, true, false, true}));
}

TEST(RawBlocks, AGroupCutShortEndsWhenTheNextOneBegins) {
  const std::array<uint8_t, 8> ps = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
  std::vector<uint8_t> bytes = RecordsOf(EncodeBasicTuning(kHeader, false, true, 0, 0, ps));
  bytes.resize(6);  // blocks A and B only: C and D lost
  const std::vector<uint8_t> next = RecordsOf(EncodeBasicTuning(kHeader, false, true, 0, 2, ps));
  bytes.insert(bytes.end(), next.begin(), next.end());
  const std::vector<ReceivedGroup> groups = Assemble(bytes);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].usable, (std::array<bool, 4>{true, true, false, false}));
  EXPECT_EQ(groups[1].usable, (std::array<bool, 4>{true, true, true, true}));
  EXPECT_EQ(groups[1].blocks[3], 0x4546);
}

}  // namespace
}  // namespace halvane::driver::rds
