// Block synchronisation on a bit stream, and the recording formats' samples.
#include <gtest/gtest.h>

#include <vector>

#include "rds/group_encoder.h"
#include "sdr/dsp/block_sync.h"
#include "sdr/sources/sample_format.h"

namespace halvane::driver::sdr {
namespace {

std::vector<uint8_t> GroupBits(const rds::Group& group) {
  std::vector<uint8_t> bits;
  for (const uint32_t block : rds::EncodeBlocks(group)) {
    for (int bit = 25; bit >= 0; --bit) bits.push_back((block >> bit) & 1);
  }
  return bits;
}

struct Fed {
  std::vector<rds::AirGroup> groups;
};

void Feed(BlockSync& sync, const std::vector<uint8_t>& bits, Fed& fed) {
  for (const uint8_t bit : bits) {
    sync.Push(bit, [&](const rds::AirGroup& group) { fed.groups.push_back(group); });
  }
}

TEST(SdrBlockSync, FindsBlocksAfterNoiseAndHandsOnWholeGroups) {
  const rds::Group group = {0xD3C2, 0x0548, 0xE0CD, 0x5344};
  std::vector<uint8_t> bits = {1, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1};  // arrives mid-stream
  for (int i = 0; i < 4; ++i) {
    const std::vector<uint8_t> g = GroupBits(group);
    bits.insert(bits.end(), g.begin(), g.end());
  }
  BlockSync sync;
  Fed fed;
  Feed(sync, bits, fed);
  ASSERT_TRUE(sync.synced());
  // Synchronised on the second block seen: the first group lacks block A, the rest are whole.
  ASSERT_EQ(fed.groups.size(), 4u);
  EXPECT_FALSE(fed.groups[0][0].has_value());
  for (size_t i = 1; i < fed.groups.size(); ++i) {
    const rds::ReceivedGroup decoded = rds::DecodeAirGroup(fed.groups[i]);
    EXPECT_EQ(decoded.UnusableCount(), 0);
    EXPECT_EQ(decoded.blocks, group);
  }
  EXPECT_EQ(sync.CleanBlocks(), sync.blocks());

  // A slipped bit damages every block after it: the sync lets go, then finds the new grid.
  const std::vector<uint8_t> g = GroupBits(group);
  std::vector<uint8_t> slipped(g.begin() + 1, g.end());
  for (int i = 0; i < 6; ++i) slipped.insert(slipped.end(), g.begin(), g.end());
  const uint64_t cleanBefore = sync.CleanBlocks();
  Feed(sync, slipped, fed);
  EXPECT_TRUE(sync.synced());
  EXPECT_GT(sync.CleanBlocks(), cleanBefore);
  EXPECT_EQ(rds::DecodeAirGroup(fed.groups.back()).blocks, group);
}

TEST(SdrSampleFormat, EachFormatRoundTrips) {
  const std::vector<Complex> samples = {{0.5f, -0.5f}, {-1.0f, 0.99f}, {0.0f, 0.25f}};
  const struct {
    SampleFormat format;
    size_t bytes;
    float tolerance;
  } cases[] = {{SampleFormat::Cu8, 2, 1.0f / 127},
               {SampleFormat::Cs16, 4, 1.0f / 32000},
               {SampleFormat::Cf32, 8, 0}};
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = EncodeSamples(c.format, samples);
    ASSERT_EQ(bytes.size(), samples.size() * c.bytes) << FormatName(c.format);
    bytes.push_back(0);  // a partial sample at the end is left alone
    std::vector<Complex> back;
    DecodeSamples(c.format, bytes, back);
    ASSERT_EQ(back.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
      EXPECT_NEAR(back[i].real(), samples[i].real(), c.tolerance) << FormatName(c.format) << i;
      EXPECT_NEAR(back[i].imag(), samples[i].imag(), c.tolerance) << FormatName(c.format) << i;
    }
  }
  // rtl_sdr's bytes: 127/128 straddle zero, 0 and 255 the ends.
  std::vector<Complex> raw;
  DecodeSamples(SampleFormat::Cu8, std::vector<uint8_t>{0, 255}, raw);
  EXPECT_FLOAT_EQ(raw[0].real(), -1.0f);
  EXPECT_FLOAT_EQ(raw[0].imag(), 1.0f);
}

}  // namespace
}  // namespace halvane::driver::sdr
