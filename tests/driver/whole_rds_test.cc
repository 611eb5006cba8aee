// What the decoder shows is whole or nothing: a name of two halves never shows, a scrolling name
// shows each of its names, and the programme's data stay through a move to another transmitter.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "rds/group_encoder.h"
#include "rds/rds_monitor.h"
#include "rds/record_writer.h"

namespace halvane::driver::rds {
namespace {

constexpr GroupHeader kHeader{0x5C11, 10, true, false};

ReceivedGroup OverAir(const Group& group) {
  const auto blocks = EncodeBlocks(group);
  return DecodeAirGroup({blocks[0], blocks[1], blocks[2], blocks[3]});
}

Group NameGroup(const GroupHeader& header, const char* name, int segment) {
  std::array<uint8_t, 8> ps;
  std::memcpy(ps.data(), name, 8);
  return EncodeBasicTuning(header, false, true, 0, segment, ps);
}

std::string PsOf(const RdsData& data) {
  const RdsRecord record = MakeRecord(data);
  return std::string(reinterpret_cast<const char*>(record.ps), 8);
}

struct Sent {
  const char* name;
  std::vector<int> segments;
};

TEST(WholeName, ShownOnlyWhenEveryPairCameSinceItChanged) {
  struct Case {
    const char* what;
    std::vector<Sent> sent;
    const char* shown;
  } cases[] = {
      {"three of four pairs", {{"NORDWAVE", {3, 1, 0, 3}}}, "        "},
      {"all four in any order", {{"NORDWAVE", {3, 1, 0, 2}}}, "NORDWAVE"},
      {"a new name half sent: the old one stays",
       {{"ROAD FM ", {0, 1, 2, 3}}, {"TRAFFIC!", {0, 1}}},
       "ROAD FM "},
      {"a scrolling name: each whole pass shows",
       {{"ROAD FM ", {0, 1, 2, 3}}, {"TRAFFIC!", {0, 1, 2, 3}}},
       "TRAFFIC!"},
      {"the end of one name and the start of the next never make one",
       {{"ROAD FM ", {0, 1, 2, 3}}, {"TRAFFIC!", {2, 3}}, {"WEATHER?", {0, 1}}},
       "ROAD FM "},
      {"a name whose pairs came out of order after a change shows once all came again",
       {{"ROAD FM ", {0, 1, 2, 3}}, {"TRAFFIC!", {2, 3, 0, 1}}, {"TRAFFIC!", {2, 3}}},
       "TRAFFIC!"},
  };
  for (const Case& c : cases) {
    RdsMonitor monitor;
    for (const Sent& sent : c.sent) {
      for (const int segment : sent.segments) {
        monitor.OnGroup(OverAir(NameGroup(kHeader, sent.name, segment)), 0, 0);
      }
    }
    EXPECT_EQ(PsOf(monitor.decoder().data()), c.shown) << c.what;
  }
}

TEST(WholeName, HeldThroughAMoveWhileThePiIsTheProgrammes) {
  RdsMonitor monitor;
  for (int segment = 0; segment < 4; ++segment) {
    monitor.OnGroup(OverAir(NameGroup(kHeader, "ROAD FM ", segment)), 0, 0);
  }
  // Long after the last group, the tuner moves: the name stays, fresh, before a group came.
  monitor.Restart(5000);
  ASSERT_TRUE(monitor.HasFreshData(5000));
  EXPECT_EQ(PsOf(monitor.decoder().data()), "ROAD FM ");
  monitor.OnGroup(OverAir(NameGroup(kHeader, "ROAD FM ", 2)), 5090, 0);
  EXPECT_EQ(PsOf(monitor.decoder().data()), "ROAD FM ");
  // A receiver that decoded the transmitter on its own goes on from the programme's data.
  RdsMonitor watcher;
  watcher.OnGroup(OverAir(NameGroup(kHeader, "ROAD FM ", 0)), 5000, 0);
  watcher.OnGroup(OverAir(NameGroup(kHeader, "ROAD FM ", 1)), 5090, 0);
  watcher.TakeOver(monitor, 5100);
  EXPECT_EQ(PsOf(watcher.decoder().data()), "ROAD FM ");
  // Another programme there, twice in a row: its own name only, once whole.
  const GroupHeader other{0x6A22, 3, false, false};
  for (int segment = 0; segment < 3; ++segment) {
    watcher.OnGroup(OverAir(NameGroup(other, "OTHER FM", segment)), 5200, 0);
  }
  EXPECT_EQ(watcher.decoder().data().pi, 0x6A22);
  EXPECT_EQ(PsOf(watcher.decoder().data()), "        ");
  // Nothing is held before the PI was confirmed.
  RdsMonitor unconfirmed;
  unconfirmed.OnGroup(OverAir(NameGroup(kHeader, "ROAD FM ", 0)), 0, 0);
  unconfirmed.Restart(100);
  EXPECT_FALSE(unconfirmed.HasFreshData(100));
}

}  // namespace
}  // namespace halvane::driver::rds
