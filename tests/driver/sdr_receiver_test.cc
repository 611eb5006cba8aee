// The receiver chain against the transmitter model: stereo separation and a mono station's RDS.
// RDS through noise, a carrier offset and a sample clock that runs off is held by the tuner's
// test, which reads it through the same chain.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "rds/record_writer.h"
#include "sdr_test_support.h"

namespace halvane::driver::testing_support {
namespace {

TEST(SdrReceiverTest, SeparatesALeftToneFromTheRightChannel) {
  sdr::TransmitterOptions options = ImpairedStation(40);
  options.multiplex.tone = {1000, true, false, 0.5};
  sdr::Transmitter transmitter(options);
  sdr::Receiver receiver({kTestRate, 50});
  receiver.Tune(0);
  const std::vector<float> audio = RunStation(transmitter, receiver, 1.0);
  const double left = TonePower(audio, 0, 1000, 24000);
  const double right = TonePower(audio, 1, 1000, 24000);
  EXPECT_NEAR(std::sqrt(left) * 2, 0.5, 0.05);  // amplitude back at its level
  EXPECT_GT(10 * std::log10(left / right), 25);
}

// A mono station never shows stereo, not even so weak that noise fills the pilot's band; its
// RDS comes on a free 57 kHz oscillator, and both channels carry the programme.
TEST(SdrReceiverTest, AMonoStationIsNeverStereoAndItsRdsComesWithoutAPilot) {
  for (const double cnrDb : {25.0, 3.0, 0.0}) {
    sdr::TransmitterOptions options = ImpairedStation(cnrDb);
    options.multiplex.stereo = false;
    sdr::Transmitter transmitter(options);
    sdr::Receiver receiver({kTestRate, 50});
    receiver.Tune(0);
    const std::vector<float> audio = RunStation(transmitter, receiver, 3.0, [&](int64_t ms) {
      EXPECT_FALSE(receiver.PilotLocked()) << cnrDb << " dB at " << ms;
    });
    if (cnrDb < 25) continue;
    ASSERT_TRUE(receiver.monitor().decoder().HasData());
    EXPECT_EQ(Text(receiver.monitor().decoder().data().ps.data(), 8), "SDR TEST");
    EXPECT_NEAR(TonePower(audio, 0, 1000, 24000), TonePower(audio, 1, 1000, 24000), 1e-4);
  }
}

// A stereo station without RDS: noise on the empty 57 kHz band now and then passes for a block,
// but never for a station: no PI, name or programme type at any moment.
TEST(SdrReceiverTest, AStationWithoutRdsShowsNoRds) {
  for (const double cnrDb : {30.0, 12.0}) {
    sdr::TransmitterOptions options = ImpairedStation(cnrDb);
    options.multiplex.rds.reset();
    sdr::Transmitter transmitter(options);
    sdr::Receiver receiver({kTestRate, 50});
    receiver.Tune(0);
    RunStation(transmitter, receiver, 6.0, [&](int64_t ms) {
      EXPECT_FALSE(receiver.monitor().decoder().HasData()) << cnrDb << " dB at " << ms;
    });
    EXPECT_TRUE(receiver.PilotLocked()) << cnrDb;
  }
}

// Strong stations beside the wanted one (+30 dB 200 kHz above, +40 dB 400 kHz below) are outside
// its channel: its name shows no wrong character at any moment and comes whole, stereo holds, and
// the level reads what it reads without them.
TEST(SdrReceiverTest, StrongNeighboursLeaveTheStationIntact) {
  constexpr double kRate = 1'024'000;
  const auto level = [&](bool neighbours) {
    sdr::TransmitterOptions options = ImpairedStation(25);
    options.sampleRate = kRate;
    if (neighbours) {
      band::RdsProgramme other = TestProgramme();
      other.pi = 0xD3C7;
      const std::string ps = "XYZ ABCD";
      std::copy(ps.begin(), ps.end(), other.ps.begin());
      options.neighbours = {{200'000, 30, {.rds = other, .tone = {}}},
                            {-400'000, 40, {.rds = other, .tone = {}}}};
    }
    sdr::Transmitter transmitter(options);
    sdr::Receiver receiver({kRate, 50});
    receiver.Tune(0);
    const std::string wanted = "SDR TEST";
    RunStation(
        transmitter, receiver, 4.0,
        [&](int64_t ms) {
          const std::string shown = Text(receiver.monitor().decoder().data().ps.data(), 8);
          for (size_t i = 0; i < 8; ++i) {
            EXPECT_TRUE(shown[i] == ' ' || shown[i] == wanted[i]) << ms << ": " << shown;
          }
        },
        kRate);
    EXPECT_EQ(Text(receiver.monitor().decoder().data().ps.data(), 8), wanted) << neighbours;
    EXPECT_TRUE(receiver.PilotLocked()) << neighbours;
    return receiver.Level(4000);
  };
  const int alone = level(false);
  EXPECT_LE(alone, 7);
  EXPECT_NEAR(level(true), alone, 1);
}

// The pilot loop locks within 100 ms of tuning, of a pilot that starts late or of a carrier that
// comes back from a dropout of any length, and shows no stereo while there is no pilot.
TEST(SdrReceiverTest, StereoComesBackAfterAMonoStretchOrADropout) {
  struct Case {
    const char* name;
    double stereoFromS;
    double dropoutFromS;
    double dropoutS;
  };
  // Three seeds each: how long the loop takes depends on where the pilot's phase and the noise
  // find it.
  for (const Case& c : {Case{"tuned", 0, 0, 0}, Case{"mono first second", 1.0, 0, 0},
                        Case{"100 ms dropout", 0, 1.0, 0.1}, Case{"2 s dropout", 0, 1.0, 2.0}})
    for (const uint64_t seed : {2, 7, 11}) {
      sdr::TransmitterOptions options = ImpairedStation(30);
      options.seed = seed;
      options.multiplex.stereoFromS = c.stereoFromS;
      options.dropoutFromS = c.dropoutFromS;
      options.dropoutS = c.dropoutS;
      sdr::Transmitter transmitter(options);
      sdr::Receiver receiver({kTestRate, 50});
      receiver.Tune(0);
      const double back = std::max(c.stereoFromS, c.dropoutFromS + c.dropoutS);
      std::optional<double> lockedAt;
      RunStation(transmitter, receiver, back + 1, [&](int64_t ms) {
        const double t = static_cast<double>(ms) / 1000;
        if (t > back + 0.02 && receiver.PilotLocked() && !lockedAt) lockedAt = t;
        if (c.stereoFromS > 0 && t < c.stereoFromS) {
          EXPECT_FALSE(receiver.PilotLocked()) << c.name << " at " << t;
        }
      });
      ASSERT_TRUE(lockedAt) << c.name;
      EXPECT_LE(*lockedAt - back, 0.1) << c.name << ", seed " << seed;
      EXPECT_TRUE(receiver.PilotLocked()) << c.name;
    }
}

}  // namespace
}  // namespace halvane::driver::testing_support
