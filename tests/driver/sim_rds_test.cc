// RDS through the simulated tuner's exports, on the manual clock: groups arrive every
// 208000/2375 ms (group n complete at ceil((n+1) x 87.579) ms after the tune).
#include <cstring>

#include "halvane/driver_extras.h"
#include "result_codes.h"
#include "sim_driver_fixture.h"
#include "test_hooks.h"

namespace halvane::driver::testing_support {
namespace {

using SimRds = SimDriverTest;

// Groups 0, 2, 4 and 6 carry the four name segments; group 6 is complete at 614 ms, and the name
// shows only then, whole. The PI, programme type and flags show once two groups carried them
// alike (group 1, at 176 ms).
TEST_F(SimRds, NameIsCompleteAfterFourNameGroups) {
  StartRadio();
  Tune(90'000'000);
  RdsRecord record{};
  EXPECT_EQ(EvalData(record), kRdsNoData);  // nothing received yet
  Advance(88);                              // group 0
  EXPECT_EQ(EvalData(record), kRdsNoData);  // one group: not yet the station's PI
  Advance(176 - 88);                        // group 1
  ASSERT_EQ(EvalData(record), 0);
  EXPECT_EQ(Ps(record), "        ");
  EXPECT_EQ(record.pi, static_cast<int16_t>(0xC0DE));
  EXPECT_EQ(record.pty, 14);
  EXPECT_EQ(record.tp, 1);
  Advance(263 - 176);  // group 2, the second to carry the flags of group 0
  ASSERT_EQ(EvalData(record), 0);
  EXPECT_EQ(record.ta, 0);
  EXPECT_EQ(record.ms, 1);
  Advance(613 - 263);
  EXPECT_EQ(Ps(*Record()), "        ");  // three segments of four
  Advance(1);
  EXPECT_EQ(Ps(*Record()), "STRONG  ");
  Tune(87'500'000);
  Advance(614);
  EXPECT_EQ(Ps(*Record()), "LOW     ");
}

// "Classic rock, no talk - Rock 97" is 31 characters plus 0x0D: 8 segments in groups 1..15.
TEST_F(SimRds, RadioTextIsCompleteAfterItsSegments) {
  StartRadio();
  Tune(90'000'000);
  Advance(1401);
  EXPECT_EQ(Rt(*Record()), std::string(64, ' '));  // seven segments of eight
  Advance(1);
  EXPECT_EQ(Rt(*Record()), "Classic rock, no talk - Rock 97" + std::string(33, ' '));
}

// Each message is sent in 48 RadioText groups, 96 groups in all: the second message starts in
// group 97 with the other A/B flag, the next RadioText group (99) confirms the change, and its
// four segments are in with group 103 (complete at 9109 ms): the first shows until then.
TEST_F(SimRds, NextMessageReplacesTheFirst) {
  StartRadio();
  Tune(90'000'000);
  Advance(9108);
  EXPECT_EQ(Rt(*Record()), "Classic rock, no talk - Rock 97" + std::string(33, ' '));
  Advance(1);
  EXPECT_EQ(Rt(*Record()), "Second message" + std::string(50, ' '));
}

TEST_F(SimRds, VersionBStationSendsShortText) {
  StartRadio();
  Tune(104'000'000);
  Advance(3000);
  const RdsRecord record = *Record();
  EXPECT_EQ(Ps(record), "BRAVO   ");
  EXPECT_EQ(Rt(record), "Top 40 all day long" + std::string(45, ' '));
  EXPECT_EQ(record.pi, 0x7B0B);
}

TEST_F(SimRds, TrafficAnnouncementToggles) {
  StartRadio();
  Tune(100'000'000);
  Advance(900);
  EXPECT_EQ(Record()->ta, 0);
  Advance(1000);
  EXPECT_EQ(Record()->ta, 1);
  EXPECT_EQ(Record()->tp, 1);
  Advance(1000);
  EXPECT_EQ(Record()->ta, 0);
}

TEST_F(SimRds, StationWithoutRdsHasNoRecord) {
  StartRadio();
  Tune(92'000'000);
  Advance(5000);
  RdsRecord record;
  std::memset(&record, 0xAB, sizeof record);
  EXPECT_EQ(EvalData(record), kRdsNoData);
  for (size_t i = 0; i < sizeof record; ++i) {
    ASSERT_EQ(reinterpret_cast<const uint8_t*>(&record)[i], 0xAB) << "byte " << i;
  }
  EXPECT_EQ(DecoderState() >> 4, 0u);  // no blocks, so no damaged ones
}

TEST_F(SimRds, TuningClearsTheDecoder) {
  StartRadio();
  Tune(90'000'000);
  Advance(2000);
  ASSERT_TRUE(Record());
  Tune(92'000'000);
  EXPECT_FALSE(Record());
  Tune(90'000'000);
  EXPECT_FALSE(Record());  // the same station again starts from nothing
  Advance(176);
  EXPECT_EQ(Ps(*Record()), "        ");
  Advance(614 - 176);
  EXPECT_EQ(Ps(*Record()), "STRONG  ");
}

TEST_F(SimRds, StoppedDecoderReportsNoRecord) {
  StartRadio();
  Tune(90'000'000);
  Advance(1000);
  RDS_Stop(0);
  RdsRecord record;
  EXPECT_EQ(EvalData(record), kRdsStopped);
  // Groups sent while stopped are never received; after the restart data is fresh again.
  Advance(5000);
  RDS_Start(0);
  EXPECT_EQ(EvalData(record), kRdsStale);
  Advance(100);
  EXPECT_EQ(EvalData(record), 0);
}

TEST_F(SimRds, WeakStationCountsDamagedBlocks) {
  StartRadio();
  Tune(90'000'000);
  Advance(3000);
  EXPECT_EQ(DecoderState(), 0u);  // level 0, no damaged blocks

  Tune(95'000'000);
  Advance(1000);
  const uint32_t damaged = DecoderState() >> 4;
  EXPECT_EQ(DecoderState() & 0x0F, 12u);
  // Level 12 hits nearly half the ~46 blocks of a second; bursts over 5 bits cannot be mended.
  EXPECT_GE(damaged, 3u);
  EXPECT_LE(damaged, 30u);
  // Poll as the plug-in does, every 100 ms: name and text still get through, and no poll shows
  // either in part.
  const std::string text = "Foghorn Coast Radio" + std::string(45, ' ');
  std::string ps;
  std::string rt;
  for (int i = 0; i < 300 && (ps != "FOGHORN " || rt != text); ++i) {
    Advance(100);
    const std::optional<RdsRecord> record = Record();
    if (!record) continue;
    ps = Ps(*record);
    rt = Rt(*record);
    EXPECT_TRUE(ps == "        " || ps == "FOGHORN ") << ps;
    EXPECT_TRUE(rt == std::string(64, ' ') || rt == text) << rt;
  }
  EXPECT_EQ(ps, "FOGHORN ");
  EXPECT_EQ(rt, text);

  // Back on a clean station the count drains within a second.
  Tune(90'000'000);
  Advance(1000);
  EXPECT_EQ(DecoderState() >> 4, 0u);
}

TEST_F(SimRds, RecordIsFreshOnlyWhileValidGroupsArrive) {
  // Groups 0 and 1 complete, then ten groups without block B: the record goes stale 500 ms after
  // group 1 and is fresh again when the recording starts over.
  std::string capture = "# two good groups, then noise\n";
  for (int i = 0; i < 2; ++i) capture += "1234 0408 E0CD 4341\n";
  for (int i = 0; i < 10; ++i) capture += "1234 ---- ---- ----\n";
  WriteFile("noise.txt", capture);
  UseBand("[station]\nfrequency = 99.0 MHz\ncapture = noise.txt\n");
  StartRadio();
  Tune(99'000'000);
  Advance(176);  // group 1 complete
  ASSERT_TRUE(Record());
  Advance(500);
  EXPECT_TRUE(Record());
  Advance(1);
  RdsRecord record;
  EXPECT_EQ(EvalData(record), kRdsStale);
  EXPECT_EQ(DecoderState() >> 4, 15u);  // 3 lost blocks in each of groups 2 to 6
  Advance(1139 - 677);                  // group 12 = group 0 again, complete at 1139 ms
  EXPECT_EQ(EvalData(record), 0);
  EXPECT_EQ(record.pi, 0x1234);
}

TEST_F(SimRds, ReplaysARecordedCapture) {
  WriteFile("recorded.txt",
            "# PI 0xABCD, PTY 5, TP, TA, 0A groups with the name REPLAYED\n"
            "ABCD 04B8 E0CD 5245\n"
            "ABCD 04B9 E0CD 504C\n"
            "ABCD 04BA E0CD 4159\n"
            "ABCD ---- E0CD 0000\n"
            "ABCD 04BB E0CD 4544\n"
            "# 2A group: text segment 0, \"Hi!\" and the end of text\n"
            "ABCD 24A0 4869 210D\n");
  UseBand("[station Replay]\nfrequency = 99.0 MHz\nlevel = 1\ncapture = recorded.txt\n");
  StartRadio();
  Tune(99'000'000);
  Advance(1000);
  const RdsRecord record = *Record();
  EXPECT_EQ(record.pi, static_cast<int16_t>(0xABCD));
  EXPECT_EQ(record.pty, 5);
  EXPECT_EQ(record.tp, 1);
  EXPECT_EQ(record.ta, 1);
  EXPECT_EQ(record.ms, 1);
  EXPECT_EQ(Ps(record), "REPLAYED");
  EXPECT_EQ(Rt(record), "Hi!" + std::string(61, ' '));
  EXPECT_GE(DecoderState() >> 4, 1u);  // the lost block B counts as damaged
}

TEST_F(SimRds, ClockJumpsAreCaughtUpWithoutReplayingEverything) {
  StartRadio();
  Tune(90'000'000);
  Advance(2'000'000'000);  // 23 days at once
  const std::optional<RdsRecord> record = Record();
  ASSERT_TRUE(record);
  EXPECT_EQ(Ps(*record), "STRONG  ");
  // One of the station's two messages, whole: the catching up replays enough groups for it.
  const std::string text = Rt(*record);
  EXPECT_TRUE(text == "Classic rock, no talk - Rock 97" + std::string(33, ' ') ||
              text == "Second message" + std::string(50, ' '))
      << "'" << text << "'";
}

TEST_F(SimRds, SameStepsGiveTheSameRecords) {
  const auto run = [this] {
    std::string trace;
    StartRadio();
    Tune(95'000'000);
    for (int i = 0; i < 60; ++i) {
      Advance(100);
      RdsRecord record{};
      const int32_t result = EvalData(record);
      trace += std::to_string(result) + "/" + std::to_string(DecoderState()) + ":" + Ps(record) +
               Rt(record) + "\n";
    }
    return trace;
  };
  const std::string first = run();
  HalvaneSimReset();
  HalvaneSimUseManualClock(1);
  EXPECT_EQ(run(), first);
}

}  // namespace
}  // namespace halvane::driver::testing_support

namespace halvane::driver::testing_support {
namespace {

std::string ExtendedData() {
  char buffer[2048];
  const int32_t length = RDS_ExtendedData(buffer, sizeof buffer);
  EXPECT_GE(length, 0);
  EXPECT_LT(length, static_cast<int32_t>(sizeof buffer));
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

// A band file's alternative frequencies, RadioText+ tags and programme type name go on the air
// and come back through the optional export once each was received twice alike.
TEST_F(SimRds, ExtendedDataFromTheBandFile) {
  UseBand(R"([station Net]
frequency = 89.3 MHz
pi = D3C2
af = 91.0 MHz, 99.5 MHz, 103.2 MHz
ptyn = FOOTBALL
rt = Now {artist:Nina Simone} with {title:Feeling Good}
)");
  EXPECT_EQ(RDS_ExtendedData(nullptr, 0), -kNotInitialized);
  StartRadio();
  Tune(89'300'000);
  EXPECT_EQ(ExtendedData(), "");
  for (int t = 0; t < 150; ++t) {  // 15 s, polled as the plug-in polls
    Advance(100);
    DecoderState();
  }
  const std::string report = ExtendedData();
  for (const char* line :
       {"pi=D3C2\n", "af.method=A\n", "af=91.0 99.5 103.2\n", "ptyn=FOOTBALL\n", "oda.4BD7=11A\n",
        "rtplus.artist=Nina Simone\n", "rtplus.title=Feeling Good\n"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << report;
  }
  EXPECT_EQ(Rt(*Record()).substr(0, 38), "Now Nina Simone with Feeling Good" + std::string(5, ' '));
  Tune(87'500'000);  // tuning forgets it all
  EXPECT_EQ(ExtendedData(), "");
}

}  // namespace
}  // namespace halvane::driver::testing_support
