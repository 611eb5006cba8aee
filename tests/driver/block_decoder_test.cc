#include "rds/block_decoder.h"

#include <gtest/gtest.h>

namespace halvane::driver::rds {
namespace {

constexpr uint16_t kInfo = 0x5C11;

TEST(BlockDecoder, IntactBlockIsOk) {
  const DecodedBlock block = DecodeBlock(EncodeBlock(kInfo, Offset::C), Offset::C);
  EXPECT_EQ(block.status, BlockStatus::Ok);
  EXPECT_EQ(block.info, kInfo);
}

// Every burst at every position, with every pattern inside it, at every block position: those
// up to the limit asked for are corrected, longer ones rejected (the code tells all bursts of up
// to 5 bits apart, so none is mistaken for a shorter one).
TEST(BlockDecoder, CorrectsBurstsUpToTheLimitAskedFor) {
  struct Case {
    int maxBurst;
    int correctable;  // bursts of 1..5 bits, at any position, corrected
  };
  for (const Case& c : {Case{0, 0}, Case{kReliableBurst, 51}, Case{kMaxCorrectableBurst, 367}}) {
    for (Offset offset : {Offset::A, Offset::B, Offset::C, Offset::CPrime, Offset::D}) {
      const uint32_t sent = EncodeBlock(kInfo, offset);
      int corrected = 0;
      for (int length = 1; length <= kMaxCorrectableBurst; ++length) {
        for (uint32_t inner = 0; inner < (length > 2 ? 1u << (length - 2) : 1u); ++inner) {
          const uint32_t burst = (1u << (length - 1)) | (inner << 1) | 1u;
          for (int position = 0; position + length <= 26; ++position) {
            const DecodedBlock block = DecodeBlock(sent ^ (burst << position), offset, c.maxBurst);
            if (length > c.maxBurst) {
              ASSERT_EQ(block.status, BlockStatus::Error) << burst << " at " << position;
              continue;
            }
            ASSERT_EQ(block.status, BlockStatus::Corrected) << burst << " at " << position;
            ASSERT_EQ(block.info, kInfo) << burst << " at " << position;
            ++corrected;
          }
        }
      }
      EXPECT_EQ(corrected, c.correctable) << c.maxBurst;
    }
  }
}

TEST(BlockDecoder, RejectsWhatItCannotCorrect) {
  const uint32_t sent = EncodeBlock(kInfo, Offset::A);
  // A 6-bit burst in the information word and two errors at the block's two ends.
  EXPECT_EQ(DecodeBlock(sent ^ (0x3Fu << 10), Offset::A).status, BlockStatus::Error);
  EXPECT_EQ(DecodeBlock(sent ^ (1u << 25) ^ 1u, Offset::A).status, BlockStatus::Error);
  // A block sent at position C read where A belongs is not taken as an A block.
  EXPECT_EQ(DecodeBlock(EncodeBlock(kInfo, Offset::C), Offset::A).status, BlockStatus::Error);
}

}  // namespace
}  // namespace halvane::driver::rds
