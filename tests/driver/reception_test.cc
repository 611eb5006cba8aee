#include "sim/reception.h"

#include <gtest/gtest.h>

#include "rds/block_decoder.h"

namespace halvane::driver::sim {
namespace {

TEST(Reception, CleanStationHasNoErrors) {
  for (uint64_t n = 0; n < 2000; ++n) {
    for (int block = 0; block < 4; ++block) ASSERT_EQ(ReceptionError(0, 95'000'000, n, block), 0u);
  }
}

TEST(Reception, BlocksAreHitInProportionToTheLevel) {
  for (int level : {2, 7, 14}) {
    int hits = 0;
    const int blocks = 20000;
    for (int i = 0; i < blocks; ++i) hits += ReceptionError(level, 91'200'000, i / 4, i % 4) != 0;
    const double expected = level * kBlockErrorPercentPerLevel / 100.0;
    EXPECT_NEAR(static_cast<double>(hits) / blocks, expected, 0.02) << "level " << level;
  }
}

// Damage is either mended or caught: the decoder never delivers a wrong information word.
TEST(Reception, DamageIsCorrectedOrDetectedNeverWrong) {
  constexpr uint16_t kInfo = 0x2F0B;
  int corrected = 0, rejected = 0;
  for (uint64_t n = 0; n < 20000; ++n) {
    const uint32_t error = ReceptionError(14, 91'200'000, n, 1);
    if (error == 0) continue;
    ASSERT_LT(error, 1u << 26);
    const rds::DecodedBlock block = rds::DecodeBlock(
        rds::EncodeBlock(kInfo, rds::Offset::B) ^ error, rds::Offset::B, rds::kMaxCorrectableBurst);
    if (block.status == rds::BlockStatus::Error) {
      ++rejected;
    } else {
      ASSERT_EQ(block.status, rds::BlockStatus::Corrected);
      ASSERT_EQ(block.info, kInfo) << "group " << n;
      ++corrected;
    }
  }
  // Bursts of 1 to 5 of the 1 to 8 bits are corrected.
  EXPECT_NEAR(static_cast<double>(corrected) / (corrected + rejected), 5.0 / 8, 0.03);
}

}  // namespace
}  // namespace halvane::driver::sim
