// The group encoder and decoder together: what one station sends is what the decoder assembles.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "rds/charset.h"
#include "rds/checkword.h"
#include "rds/group_decoder.h"
#include "rds/group_encoder.h"
#include "rds/record_writer.h"

namespace halvane::driver::rds {
namespace {

constexpr GroupHeader kHeader{0xD3C2, 10, true, false};
constexpr GroupHeader kHeaderB{0xD3C2, 10, true, true};

std::array<uint8_t, 8> Ps(const char (&text)[9]) {
  std::array<uint8_t, 8> ps;
  std::memcpy(ps.data(), text, 8);
  return ps;
}

std::vector<uint8_t> Text(std::string_view text) { return {text.begin(), text.end()}; }

ReceivedGroup Clean(const Group& group) { return {group, {true, true, true, true}}; }

// Sends a group over a clean channel, through the block code.
ReceivedGroup OverAir(const Group& group) {
  const auto blocks = EncodeBlocks(group);
  return DecodeAirGroup({blocks[0], blocks[1], blocks[2], blocks[3]});
}

std::string PsOf(const GroupDecoder& decoder) {
  const RdsRecord record = MakeRecord(decoder.data());
  return std::string(reinterpret_cast<const char*>(record.ps), 8);
}

std::string RtOf(const GroupDecoder& decoder) {
  const RdsRecord record = MakeRecord(decoder.data());
  return std::string(reinterpret_cast<const char*>(record.rt), 64);
}

TEST(GroupCodec, BasicTuningFieldsAndProgrammeServiceName) {
  GroupDecoder decoder;
  const auto ps = Ps("NORDWAVE");
  // PI and the flags wait for a second group; the name for all of its four pairs.
  EXPECT_TRUE(decoder.Feed(OverAir(EncodeBasicTuning(kHeader, true, false, 0, 2, ps))));
  EXPECT_FALSE(decoder.HasData());
  EXPECT_TRUE(decoder.Feed(OverAir(EncodeBasicTuning(kHeader, true, false, 0, 3, ps))));
  ASSERT_TRUE(decoder.HasData());
  const RdsData& data = decoder.data();
  EXPECT_EQ(data.pi, 0xD3C2);
  EXPECT_EQ(data.pty, 10);
  EXPECT_TRUE(data.tp);
  EXPECT_TRUE(data.ta);
  EXPECT_FALSE(data.ms);
  EXPECT_EQ(PsOf(decoder), "        ");
  // Segments in any order fill the name.
  for (int segment : {0, 1}) {
    decoder.Feed(OverAir(EncodeBasicTuning(kHeader, false, true, 0, segment, ps)));
  }
  EXPECT_EQ(PsOf(decoder), "NORDWAVE");
  EXPECT_FALSE(decoder.data().ta);
  EXPECT_TRUE(decoder.data().ms);
}

TEST(GroupCodec, RadioTextAssembledOutOfOrderAndEndsAtCarriageReturn) {
  GroupDecoder decoder;
  const std::vector<uint8_t> text = Text("Hello world\r");  // 3 segments
  for (int segment : {2, 0}) decoder.Feed(OverAir(EncodeRadioText(kHeader, false, segment, text)));
  EXPECT_EQ(RtOf(decoder), std::string(64, ' '));
  decoder.Feed(OverAir(EncodeRadioText(kHeader, false, 1, text)));
  EXPECT_EQ(RtOf(decoder), "Hello world" + std::string(53, ' '));
}

TEST(GroupCodec, ChangedAbFlagStartsANewMessageOnceConfirmed) {
  GroupDecoder decoder;
  const std::vector<uint8_t> first = Text("First message..\r");
  const std::vector<uint8_t> second = Text("NextText\r");
  for (int segment = 0; segment < 4; ++segment) {
    decoder.Feed(OverAir(EncodeRadioText(kHeader, false, segment, first)));
  }
  ASSERT_EQ(RtOf(decoder).substr(0, 16), "First message.. ");
  // One group with the other flag may be a damaged block B: the text stays.
  decoder.Feed(OverAir(EncodeRadioText(kHeader, true, 0, second)));
  decoder.Feed(OverAir(EncodeRadioText(kHeader, false, 1, first)));
  // Two in a row announce the new message; the old one shows until the new one is whole, and
  // none of the old one shows through it.
  decoder.Feed(OverAir(EncodeRadioText(kHeader, true, 0, second)));
  decoder.Feed(OverAir(EncodeRadioText(kHeader, true, 0, second)));
  EXPECT_EQ(RtOf(decoder).substr(0, 16), "First message.. ");
  decoder.Feed(OverAir(EncodeRadioText(kHeader, true, 2, second)));
  EXPECT_EQ(RtOf(decoder).substr(0, 16), "First message.. ");
  decoder.Feed(OverAir(EncodeRadioText(kHeader, true, 1, second)));
  EXPECT_EQ(RtOf(decoder), "NextText" + std::string(56, ' '));
}

TEST(GroupCodec, VersionBGroupsCarryPiInBlockThree) {
  GroupDecoder decoder;
  const Group psGroup = EncodeBasicTuning(kHeaderB, false, true, 0, 0, Ps("BRAVO   "));
  ReceivedGroup received = OverAir(psGroup);
  received.usable[0] = false;  // block A lost: PI comes from block C'
  EXPECT_TRUE(decoder.Feed(received));
  EXPECT_TRUE(decoder.Feed(received));
  EXPECT_EQ(decoder.data().pi, 0xD3C2);

  const std::vector<uint8_t> text = Text("Top 40\r");
  for (int segment : {1, 0, 3, 2}) {
    decoder.Feed(OverAir(EncodeRadioText(kHeaderB, false, segment, text)));
  }
  EXPECT_EQ(RtOf(decoder), "Top 40" + std::string(58, ' '));
  // Without an end mark a version B message is whole with its sixteen segments, 32 characters.
  const std::vector<uint8_t> full = Text("Thirty-two characters, no end..!");
  for (int segment = 15; segment >= 0; --segment) {
    EXPECT_EQ(RtOf(decoder).substr(0, 6), "Top 40");
    decoder.Feed(OverAir(EncodeRadioText(kHeaderB, true, segment, full)));
    decoder.Feed(OverAir(EncodeRadioText(kHeaderB, true, segment, full)));
  }
  EXPECT_EQ(RtOf(decoder), "Thirty-two characters, no end..!" + std::string(32, ' '));
}

TEST(GroupCodec, GroupWithoutBlockBOrPiIsNotTaken) {
  GroupDecoder decoder;
  ReceivedGroup group = Clean(EncodeBasicTuning(kHeader, false, true, 0, 0, Ps("ABCDEFGH")));
  group.usable[1] = false;
  EXPECT_FALSE(decoder.Feed(group));
  group.usable[1] = true;
  group.usable[0] = false;  // version A: nowhere else to find the PI
  EXPECT_FALSE(decoder.Feed(group));
  EXPECT_FALSE(decoder.HasData());
}

// A corrected block may be a wrong one: its characters wait for a second receipt alike.
TEST(GroupCodec, CorrectedBlocksWaitForConfirmationUncorrectableOnesStayOut) {
  GroupDecoder decoder;
  const auto name = Ps("ABCDEFGH");
  const auto damaged = [&](int segment, uint32_t error) {
    auto blocks = EncodeBlocks(EncodeBasicTuning(kHeader, false, true, 0, segment, name));
    blocks[3] ^= error;
    return DecodeAirGroup({blocks[0], blocks[1], blocks[2], blocks[3]});
  };
  const ReceivedGroup corrected = damaged(1, 0x3u << 12);  // a 2-bit burst
  ASSERT_TRUE(corrected.usable[3] && corrected.corrected[3]);
  for (int segment : {0, 2, 3}) {
    decoder.Feed(OverAir(EncodeBasicTuning(kHeader, false, true, 0, segment, name)));
  }
  EXPECT_TRUE(decoder.Feed(corrected));
  EXPECT_EQ(PsOf(decoder), "        ");  // one pair short of a whole name
  EXPECT_TRUE(decoder.Feed(corrected));
  EXPECT_EQ(PsOf(decoder), "ABCDEFGH");
  // Longer bursts are not corrected at all.
  for (const uint32_t error : {0x7u << 12, (1u << 25) | 1u}) {
    const ReceivedGroup group = damaged(2, error);
    EXPECT_EQ(group.UnusableCount(), 1) << error;
    EXPECT_TRUE(decoder.Feed(group));
  }
  // A wrong word once never shows.
  ReceivedGroup wrong = OverAir(EncodeBasicTuning(kHeader, false, true, 0, 3, Ps("ABCDEFXX")));
  wrong.corrected[3] = true;
  decoder.Feed(wrong);
  EXPECT_EQ(PsOf(decoder), "ABCDEFGH");
}

// PI, programme type and the flags each need two groups alike: one damaged group changes nothing.
TEST(GroupCodec, OneStrayGroupChangesNoField) {
  GroupDecoder decoder;
  const auto ps = Ps("STATION1");
  decoder.Feed(Clean(EncodeBasicTuning(kHeader, false, true, 0, 0, ps)));
  EXPECT_FALSE(decoder.HasData());
  decoder.Feed(Clean(EncodeBasicTuning(kHeader, false, true, 0, 1, ps)));
  ASSERT_TRUE(decoder.HasData());
  struct Stray {
    GroupHeader header;
    bool ta;
    bool ms;
  };
  for (const Stray& stray : {Stray{{0xD3C2, 21, true, false}, false, true},
                             Stray{{0xD3C2, 10, false, false}, false, true},
                             Stray{kHeader, true, true}, Stray{kHeader, false, false}}) {
    decoder.Feed(Clean(EncodeBasicTuning(stray.header, stray.ta, stray.ms, 0, 2, ps)));
    decoder.Feed(Clean(EncodeBasicTuning(kHeader, false, true, 0, 3, ps)));
    const RdsData& data = decoder.data();
    EXPECT_EQ(data.pty, 10);
    EXPECT_TRUE(data.tp);
    EXPECT_FALSE(data.ta);
    EXPECT_TRUE(data.ms);
  }
  EXPECT_EQ(PsOf(decoder), "STATION1");
}

TEST(GroupCodec, NewPiNeedsTwoGroupsInARow) {
  GroupDecoder decoder;
  const auto ps = Ps("STATION1");
  // Before any PI is confirmed, a group of another PI starts the collection over.
  decoder.Feed(Clean(EncodeBasicTuning({0x4242, 1, false, false}, false, true, 0, 3, ps)));
  for (int segment = 0; segment < 4; ++segment) {
    decoder.Feed(Clean(EncodeBasicTuning(kHeader, false, true, 0, segment, ps)));
  }
  ASSERT_TRUE(decoder.HasData());
  EXPECT_EQ(PsOf(decoder), "STATION1");
  const GroupHeader other{0x1111, 3, false, false};
  EXPECT_FALSE(decoder.Feed(Clean(EncodeBasicTuning(other, false, true, 0, 1, ps))));
  EXPECT_TRUE(decoder.Feed(Clean(EncodeBasicTuning(kHeader, false, true, 0, 1, ps))));
  EXPECT_FALSE(decoder.Feed(Clean(EncodeBasicTuning(other, false, true, 0, 1, ps))));
  EXPECT_EQ(decoder.data().pi, 0xD3C2);
  EXPECT_EQ(PsOf(decoder), "STATION1");
  // The second one in a row switches, and the old station's name goes.
  EXPECT_TRUE(decoder.Feed(Clean(EncodeBasicTuning(other, false, true, 0, 3, ps))));
  EXPECT_EQ(decoder.data().pi, 0x1111);
  EXPECT_EQ(PsOf(decoder), "        ");
}

TEST(RecordWriter, LaysOutTheRecordAndZeroesWhatThePlugInDoesNotRead) {
  RdsData data;
  data.pi = 0xD3C2;
  data.pty = 31;
  data.tp = data.ta = data.ms = true;
  data.ps = Ps("CAF\x82 99 ");
  data.rt.fill(kBlank);
  std::memcpy(data.rt.data(), "Hi\rjunk", 7);
  const RdsRecord record = MakeRecord(data);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  EXPECT_EQ(bytes[0], 31);
  EXPECT_EQ(bytes[1], 1);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[5], 1);
  EXPECT_EQ(bytes[184], 0xC2);  // little-endian PI
  EXPECT_EQ(bytes[185], 0xD3);
  EXPECT_EQ(record.pi, -11326);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 186), 8), "CAF\xE9 99 ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 195), 64),
            "Hi" + std::string(62, ' '));
  for (int i : {3, 4, 194, 259}) EXPECT_EQ(bytes[i], 0) << i;
  for (int i = 6; i < 184; ++i) ASSERT_EQ(bytes[i], 0) << i;
  for (int i = 260; i < 392; ++i) ASSERT_EQ(bytes[i], 0) << i;
}

}  // namespace
}  // namespace halvane::driver::rds
