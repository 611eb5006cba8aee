// Following the programme on the SDR tuner over the synthetic band, its stations' levels moving
// along routes. Inside the captured span: two transmitters of the programme and one of another
// programme listed as an alternative, the tuned one fading; the alternatives are measured on the
// same samples, so the sound never stops. Out of a tunnel: the tuned station gone, the programme
// is searched by its PI beyond the span.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "audio/audio_sink.h"
#include "result_codes.h"
#include "sdr/sdr_tuner.h"
#include "sdr/sources/synthetic_source.h"
#include "sdr_test_support.h"

namespace halvane::driver::sdr {
namespace {

constexpr int32_t kRate = 1'024'000;

struct OnAir {
  int32_t frequency;
  uint16_t pi;
  std::vector<int32_t> alternatives;
  std::vector<band::RoutePoint> route;  // ms:level
};

band::Band Network(const std::vector<OnAir>& stations) {
  band::Band network;
  for (const OnAir& onAir : stations) {
    band::Station station;
    station.frequency = onAir.frequency;
    station.stereo = true;
    station.route = onAir.route;
    station.programme = testing_support::TestProgramme();
    station.programme->pi = onAir.pi;
    station.programme->alternativeFrequencies = onAir.alternatives;
    network.stations.push_back(station);
  }
  return network;
}

// The synthetic band, counting how often the tuner moves the source. Its samples for a
// measurement come `readLateMs` of real time late (`lateMs` adds them up), as over a slow link.
class CountedSource final : public IqSource {
 public:
  CountedSource(band::Band network, int* tunes, int64_t* lateMs, int64_t readLateMs)
      : inner_(SdrConfigAt(),
               [network] {
                 return band::BandLoad{network, 0, {}};
               }),
        tunes_(tunes),
        lateMs_(lateMs),
        readLateMs_(readLateMs) {}
  static SdrConfig SdrConfigAt() {
    SdrConfig config;
    config.rate = kRate;
    return config;
  }
  int32_t Open(int64_t nowMs) override { return inner_.Open(nowMs); }
  void Close() override { inner_.Close(); }
  double SampleRate() const override { return inner_.SampleRate(); }
  int32_t Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) override {
    ++*tunes_;
    return inner_.Tune(frequencyHz, nowMs, offsetHz);
  }
  int32_t ReadDue(int64_t nowMs, std::vector<Complex>& out) override {
    return inner_.ReadDue(nowMs, out);
  }
  int32_t ReadNow(size_t count, std::vector<Complex>& out) override {
    *lateMs_ += readLateMs_;
    return inner_.ReadNow(count, out);
  }

 private:
  SyntheticSource inner_;
  int* tunes_;
  int64_t* lateMs_;
  int64_t readLateMs_;
};

class CountingSink final : public audio::AudioSink {
 public:
  explicit CountingSink(size_t* frames) : frames_(frames) {}
  void Write(std::span<const float> interleaved) override {
    *frames_ += interleaved.size() / audio::kChannels;
  }
  void SetTitle(std::string_view) override {}

 private:
  size_t* frames_;
};

// The tuner on the network, tuned to `first` and polled every 100 ms, with the frequencies it
// played in order.
struct Drive {
  explicit Drive(const band::Band& network, int32_t first, int64_t readLateMs = 0) {
    clock.UseManual(true);
    startMs = clock.NowMs();
    SdrConfig config = CountedSource::SdrConfigAt();
    SdrTunerParts parts;
    parts.makeSource = [this, network, readLateMs] {
      return std::make_unique<CountedSource>(network, &tunes, &lateMs, readLateMs);
    };
    parts.openAudio = [this] { return std::make_unique<CountingSink>(&frames); };
    // Real time is the held clock's and the source's lateness, so a loaded machine changes
    // nothing of what the follower is charged.
    parts.wallMs = [this] { return clock.NowMs() + lateMs; };
    tuner = std::make_unique<SdrTuner>(clock, config, 10, std::move(parts));
    EXPECT_EQ(tuner->Initialize(), kOk);
    EXPECT_EQ(tuner->SetFrequency(first), kOk);
    EXPECT_EQ(tuner->StartRds(), kOk);
    played.push_back(first);
  }
  // Polls until `untilMs` after the tuning.
  void Poll(int64_t untilMs) {
    while (clock.NowMs() - startMs < untilMs) {
      clock.Advance(100);
      uint32_t state = 0;
      const int64_t lateBefore = lateMs;
      ASSERT_EQ(tuner->GetDecoderState(state), kOk);
      longestPollMs = std::max(longestPollMs, lateMs - lateBefore);
      int32_t frequency = 0;
      ASSERT_EQ(tuner->GetFrequency(frequency), kOk);
      if (frequency != played.back()) played.push_back(frequency);
    }
  }
  uint16_t Pi() {
    RdsRecord record{};
    EXPECT_EQ(tuner->EvalData(record), kOk);
    return record.pi;
  }

  DriverClock clock;
  int64_t startMs = 0;
  int tunes = 0;
  int64_t lateMs = 0;
  int64_t longestPollMs = 0;  // the real time the longest poll took
  size_t frames = 0;
  std::unique_ptr<SdrTuner> tuner;
  std::vector<int32_t> played;
};

constexpr int32_t kA = 88'000'000;      // the programme 5C11, fading from 2 s
constexpr int32_t kOther = 87'700'000;  // another programme (7777), listed, strongest of all
constexpr int32_t kB = 88'300'000;      // the programme 5C11

TEST(SdrAfFollow, MovesToTheStrongerTransmitterOfTheProgrammeWithoutAGap) {
  Drive drive(Network({{kA, 0x5C11, {kOther, kB}, {{0, 0}, {1999, 0}, {2000, 12}}},
                       {kOther, 0x7777, {kA, kB}, {}},
                       {kB, 0x5C11, {kA, kOther}, {{0, 1}}}}),
              kA);
  constexpr int64_t kPlayMs = 5000;
  drive.Poll(kPlayMs);
  EXPECT_EQ(drive.played, (std::vector<int32_t>{kA, kB}));
  EXPECT_EQ(drive.tuner->followStatistics().switches, 1);
  EXPECT_EQ(drive.tuner->followStatistics().silentMs, 0);
  EXPECT_EQ(drive.tunes, 2);  // opened and tuned: the source never left its centre
  // Every millisecond was heard: 48 frames a millisecond, less the chain's start.
  EXPECT_GE(drive.frames, static_cast<size_t>(48 * (kPlayMs - 50)));
  EXPECT_EQ(drive.Pi(), 0x5C11);
}

// Out of the tunnel: the tuned transmitter goes off the air; its alternatives lie beyond the span
// around the tuned frequency, one of another programme, one of the programme that comes on the
// air only later.
TEST(SdrAfFollow, FindsTheProgrammeBeyondTheSpanAfterALossAndNeverAnother) {
  constexpr int32_t kLost = 87'700'000;   // the programme 5C11, off the air from 2 s
  constexpr int32_t kRival = 88'500'000;  // another programme (7777), listed, strong throughout
  constexpr int32_t kFar = 90'100'000;    // the programme 5C11, on the air from 5 s
  Drive drive(Network({{kLost, 0x5C11, {kRival, kFar}, {{0, 0}, {1999, 0}, {2000, 15}}},
                       {kRival, 0x7777, {kLost, kFar}, {}},
                       {kFar, 0x5C11, {kLost, kRival}, {{0, 15}, {4999, 15}, {5000, 1}}}}),
              kLost);
  drive.Poll(5000);
  // A round was made while the programme was nowhere: the rival refused, the tuner back. Past the
  // first two tunings, it retuned the source to both alternatives and a round of band channels,
  // and back after each of the three polls it took: reading the rival's PI held the tuner for
  // nearly 300 ms, and the checks after it waited for it.
  EXPECT_EQ(drive.tuner->followStatistics().rounds, 1);
  EXPECT_EQ(drive.tunes, 2 + 2 + static_cast<int>(rds::kAfSearchChannelsPerRound) + 3);
  drive.Poll(10'000);
  EXPECT_EQ(drive.played, (std::vector<int32_t>{kLost, kFar}));
  EXPECT_EQ(drive.tuner->followStatistics().switches, 1);
  EXPECT_GT(drive.tuner->followStatistics().searchMs, 0);
  EXPECT_EQ(drive.Pi(), 0x5C11);
}

// Out of the tunnel over a slow link: every measurement's samples come 300 ms late. The follower
// charges a check the real time it took, so a poll makes one check, the PI of a strong candidate
// is read for as long as its samples would take at most, and the checks hold the tuner for the
// time they really took (they took 10 ms of samples each).
TEST(SdrAfFollow, ASearchOverASlowLinkCountsRealTime) {
  constexpr int32_t kLost = 87'700'000;   // the programme 5C11, off the air from 2 s
  constexpr int32_t kRival = 88'500'000;  // another programme (7777), listed, strong throughout
  constexpr int64_t kLateMs = 300;
  Drive drive(Network({{kLost, 0x5C11, {kRival}, {{0, 0}, {1999, 0}, {2000, 15}}},
                       {kRival, 0x7777, {kLost}, {}}}),
              kLost, kLateMs);
  drive.Poll(8000);
  const rds::AfFollowStatistics& follow = drive.tuner->followStatistics();
  ASSERT_GT(follow.checks, 1);
  // The rival: its level, then its PI until 500 ms have passed; any other: its level.
  EXPECT_EQ(drive.longestPollMs, 2 * kLateMs);
  EXPECT_GE(follow.searchMs, kLateMs * follow.checks);
  EXPECT_LE(follow.searchMs, 8000 - 4000 + 2 * kLateMs);  // searching from 4 s on
  EXPECT_EQ(drive.played, (std::vector<int32_t>{kLost}));
}

}  // namespace
}  // namespace halvane::driver::sdr
