// Traffic announcements of linked programmes on the simulated tuner, polled as the plug-in polls
// (every 100 ms on the manual clock): with traffic on the radio goes to the announcement and back.
#include <algorithm>

#include "halvane/driver_extras.h"
#include "sim_driver_fixture.h"

namespace halvane::driver::testing_support {
namespace {

// Home FM tells of Road Traffic (EON), whose announcement runs from 10 s to 20 s after the
// radio's start, then again from 30 s.
constexpr const char* kLinkedBand =
    "[station Home]\nfrequency = 90.0 MHz\npi = 1111\nps = \"HOME FM \"\n"
    "rt = Home FM all day\neon = 2222\n"
    "[station Road Traffic]\nfrequency = 95.0 MHz\npi = 2222\ntp = yes\nta = toggle\n"
    "ta_period = 10\nps = \"TRAFFIC \"\n"
    "[station Plain]\nfrequency = 92.0 MHz\n"
    "[station Talk]\nfrequency = 1000 kHz\n";

class SimTraffic : public SimDriverTest {
 protected:
  struct Poll {
    int64_t atMs;
    int32_t frequency;
    std::string ps;
    bool ta;
    bool banner;  // a linked programme announces, as the station tells
  };

  // Polls every 100 ms from the tune at 0 until `untilMs`.
  std::vector<Poll> Play(int64_t untilMs) {
    std::vector<Poll> polls;
    for (int64_t at = 100; at <= untilMs; at += 100) {
      Advance(100);
      DecoderState();
      const std::optional<RdsRecord> record = Record();
      char extended[8192] = {};
      RDS_ExtendedData(extended, sizeof extended);
      polls.push_back({at, Frequency(), record ? Ps(*record) : "", record && record->ta != 0,
                       std::string(extended).find("eon.traffic=1") != std::string::npos});
    }
    return polls;
  }
};

TEST_F(SimTraffic, ALinkedAnnouncementIsHeardOnItsFrequencyAndTheRadioComesBack) {
  UseBand(kLinkedBand);
  StartRadio();
  ASSERT_EQ(radioSetTraffic(0, 1), 0);
  Tune(90'000'000);
  const std::vector<Poll> polls = Play(25'000);
  int64_t arrived = -1;
  int64_t back = -1;
  for (const Poll& poll : polls) {
    if (poll.frequency == 95'000'000 && arrived < 0) arrived = poll.atMs;
    if (arrived >= 0 && back < 0 && poll.frequency == 90'000'000) back = poll.atMs;
    // Back home the banner is gone at once: the announcement was heard to end.
    if (back >= 0) {
      EXPECT_FALSE(poll.banner) << poll.atMs;
    }
    // Home's name on every poll there once it was whole; the announcement's own there.
    if (poll.atMs > 1000 && poll.frequency == 90'000'000) {
      EXPECT_EQ(poll.ps, "HOME FM ") << poll.atMs;
    }
    if (poll.frequency == 95'000'000 && !poll.ps.empty() && poll.ps != "        ") {
      EXPECT_EQ(poll.ps, "TRAFFIC ") << poll.atMs;
    }
  }
  // The station tells of the switch within a few seconds; the announcement is still on there
  // (its schedule counts from the radio's start, not from the tune).
  ASSERT_GT(arrived, 10'000);
  EXPECT_LT(arrived, 14'000);
  const auto on = std::find_if(polls.begin(), polls.end(), [](const Poll& p) {
    return p.frequency == 95'000'000 && p.ta && p.ps == "TRAFFIC ";
  });
  EXPECT_NE(on, polls.end());
  ASSERT_GT(back, 20'000);
  EXPECT_LE(back, 22'000);
  int32_t state = 0;
  ASSERT_EQ(radioGetTraffic(0, &state), 0);
  EXPECT_EQ(state, 1);  // on, and no announcement followed now
}

TEST_F(SimTraffic, OffNothingMovesAndSeeksStopAnywhere) {
  UseBand(kLinkedBand);
  StartRadio();
  ASSERT_EQ(radioSetTraffic(0, 0), 0);
  Tune(90'000'000);
  for (const Poll& poll : Play(22'000)) ASSERT_EQ(poll.frequency, 90'000'000) << poll.atMs;
  int32_t found = 87'500'000;
  ASSERT_EQ(radioSearch(0, &found, 1, nullptr), 0);
  EXPECT_EQ(found, 90'000'000);
  // With traffic on a seek passes stations that carry none.
  ASSERT_EQ(radioSetTraffic(0, 1), 0);
  found = 87'500'000;
  ASSERT_EQ(radioSearch(0, &found, 1, nullptr), 0);
  EXPECT_EQ(found, 95'000'000);
  // AM carries no RDS to tell traffic by: its seek stops on any station.
  found = 5'300'000;
  ASSERT_EQ(radioSearch(0, &found, 1, nullptr), 0);
  EXPECT_EQ(found, 10'000'000);
}

TEST_F(SimTraffic, ALinkedProgrammesAlarmInterruptsWithTrafficOff) {
  std::string band = kLinkedBand;
  band.replace(band.find("ta = toggle"), 11, "pty = alarm");
  UseBand(band);
  StartRadio();
  ASSERT_EQ(radioSetTraffic(0, 0), 0);
  Tune(90'000'000);
  const std::vector<Poll> polls = Play(12'000);  // the type comes in two of its groups
  EXPECT_EQ(polls.back().frequency, 95'000'000);
  int32_t state = 0;
  ASSERT_EQ(radioGetTraffic(0, &state), 0);
  EXPECT_EQ(state, 2);  // off, and on a linked programme's alarm
  // Traffic switched off again during it brings the radio back.
  ASSERT_EQ(radioSetTraffic(0, 0), 0);
  EXPECT_EQ(Frequency(), 90'000'000);
}

}  // namespace
}  // namespace halvane::driver::testing_support
