// Following the programme on a V4L2 tuner: alternatives checked by short muted jumps on the fake
// device, whose settling and RDS move the manual clock as the air would.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fake_radio_device.h"
#include "rds/group_encoder.h"
#include "result_codes.h"
#include "v4l2_test_support.h"

namespace halvane::driver::v4l2 {
namespace {

using testing_support::FakeRadioDevice;
using testing_support::RecordsOf;

constexpr int32_t kA = 89'300'000;       // the programme 5C11
constexpr int32_t kB = 95'000'000;       // the programme 5C11
constexpr int32_t kOther = 101'100'000;  // another programme (7777), listed, strongest of all

constexpr uint32_t Fine(int64_t hz) { return static_cast<uint32_t>(hz * 2 / 125); }
// The signal that reads as `level` (0 best .. 15 none) on a device with its floor at 0.
constexpr int32_t SignalOf(int level) { return (15 - level) * 65535 / 15; }

struct Scene {
  int64_t atMs;
  int levelA, levelB;
};

class V4l2AfTest : public testing_support::V4l2TunerFixture {
 protected:
  void MakeTuner(bool follow, bool hasMute) {
    auto device = std::make_unique<FakeRadioDevice>(true);
    device_ = device.get();
    clock_.UseManual(true);
    device_->clock = &clock_;
    device_->hasMute = hasMute;
    device_->piOnAir = {{Fine(kA), 0x5C11}, {Fine(kB), 0x5C11}, {Fine(kOther), 0x7777}};
    device_->AddStation(Fine(kOther), SignalOf(0));
    // The fake device moves the held clock as the air would: that is the real time it takes.
    tuner_ = std::make_unique<V4l2Tuner>(std::move(device), V4l2Options{"/dev/radio7", 10, follow},
                                         clock_, [this] { return clock_.NowMs(); });
    Start();
    ASSERT_EQ(tuner_->SetFrequency(kA), kOk);
    ASSERT_EQ(tuner_->StartRds(), kOk);
    // One intact round of the name with the AF list 89.3, 95.0, 101.1 (method A).
    const rds::GroupHeader header{0x5C11, 10, true, false};
    const std::array<uint8_t, 8> ps = {'N', 'E', 'T', 'W', 'O', 'R', 'K', ' '};
    const uint16_t afPairs[] = {0xE312, 0x4B88, 0xCDCD, 0xCDCD};
    for (int segment = 0; segment < 4; ++segment) {
      device_->QueueRds(
          RecordsOf(rds::EncodeBasicTuning(header, false, true, 0, segment, ps, afPairs[segment])));
    }
  }

  // Polls the decoder state every 100 ms as the plug-in does through the scenes; the frequencies
  // played, in order.
  std::vector<int32_t> Drive(const std::vector<Scene>& scenes, int64_t endMs) {
    std::vector<int32_t> played = {Frequency()};
    const int64_t start = clock_.NowMs();
    size_t next = 0;
    while (clock_.NowMs() - start < endMs) {
      for (; next < scenes.size() && scenes[next].atMs <= clock_.NowMs() - start; ++next) {
        device_->AddStation(Fine(kA), SignalOf(scenes[next].levelA));
        device_->AddStation(Fine(kB), SignalOf(scenes[next].levelB));
      }
      uint32_t state = 0;
      const int64_t before = clock_.NowMs();
      EXPECT_EQ(tuner_->GetDecoderState(state), kOk);
      longestCallMs_ = std::max(longestCallMs_, clock_.NowMs() - before);
      if (Frequency() != played.back()) played.push_back(Frequency());
      clock_.Advance(100);
    }
    return played;
  }

  int64_t longestCallMs_ = 0;
};

TEST_F(V4l2AfTest, FollowsTheProgrammeByShortMutedJumps) {
  // 89.3 fades at 3 s while 95.0 comes in; 95.0 and 89.3 alike from 15 s (no ping-pong); 95.0
  // lost at 25 s, 89.3 back (out of the tunnel).
  const std::vector<Scene> scenes = {{0, 0, 12}, {3000, 11, 2}, {15'000, 9, 10}, {25'000, 3, 15}};
  struct Case {
    const char* what;
    bool follow, hasMute;
    std::vector<int32_t> played;
  } cases[] = {
      {"following", true, true, {kA, kB, kA}},
      {"af = off", false, true, {kA}},
      {"no mute control: a jump would be heard", true, false, {kA}},
  };
  for (const Case& c : cases) {
    longestCallMs_ = 0;
    MakeTuner(c.follow, c.hasMute);
    EXPECT_EQ(Drive(scenes, 35'000), c.played) << c.what;
    const rds::AfFollowStatistics& stats = tuner_->followStatistics();
    EXPECT_EQ(stats.switches, static_cast<int>(c.played.size()) - 1) << c.what;
    // Every jump came back or moved on; the other programme was checked, never kept.
    EXPECT_EQ(std::count(device_->tuned.begin(), device_->tuned.end(), Fine(kOther)),
              c.follow && c.hasMute ? stats.rounds : 0)
        << c.what;
    if (stats.checks > 0) {
      // Settling (20 ms) and the wait for a PI: one group after tuning, read in 20 ms polls.
      EXPECT_GT(stats.longestSilentMs, 0) << c.what;
      EXPECT_LE(stats.longestSilentMs, 20 + 200) << c.what;
      EXPECT_EQ(device_->controls.back(), std::make_pair(uint32_t{V4L2_CID_AUDIO_MUTE}, 0));
      // A round is spread over the polls: one poll checks until its budget is spent, so it
      // waits for at most the budget and one more check, never for the whole round.
      EXPECT_LE(longestCallMs_, rds::kAfPollBudgetMs + stats.longestSilentMs) << c.what;
    }
  }
}

}  // namespace
}  // namespace halvane::driver::v4l2
