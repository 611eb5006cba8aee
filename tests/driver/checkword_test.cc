#include "rds/checkword.h"

#include <gtest/gtest.h>

namespace halvane::driver::rds {
namespace {

// Rows of the block code's generator matrix as published for RDS: the checkword (before the
// offset word) of a single information bit.
TEST(Checkword, MatchesPublishedGeneratorRows) {
  EXPECT_EQ(Remainder(uint32_t{0x8000} << 10, 26), 0x077);
  EXPECT_EQ(Remainder(uint32_t{0x4000} << 10, 26), 0x2E7);
  EXPECT_EQ(Remainder(uint32_t{0x0002} << 10, 26), 0x372);
  EXPECT_EQ(Remainder(uint32_t{0x0001} << 10, 26), 0x1B9);
}

TEST(Checkword, EachOffsetIsDetectedFromAnIntactBlock) {
  for (Offset offset : {Offset::A, Offset::B, Offset::C, Offset::CPrime, Offset::D}) {
    for (uint16_t info : {0x0000, 0x1234, 0xFFFF, 0xD3C2}) {
      const uint32_t block = EncodeBlock(info, offset);
      EXPECT_EQ(Syndrome(block), OffsetWord(offset));
      EXPECT_EQ(DetectOffset(block), offset) << std::hex << info;
    }
  }
}

TEST(Checkword, DamagedBlockHasNoOffset) {
  const uint32_t block = EncodeBlock(0x1234, Offset::A);
  EXPECT_EQ(DetectOffset(block ^ (1u << 17)), std::nullopt);
  EXPECT_EQ(DetectOffset(block ^ 1u), std::nullopt);
}

}  // namespace
}  // namespace halvane::driver::rds
