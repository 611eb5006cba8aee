// The reception stages through the whole receiver chain: the stereo blend against quality, the
// soft mute on an empty channel and its return, the equaliser on a still echo, a moving one and
// beside a strong neighbour, and the stereo separation at a strong signal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sdr_test_support.h"

namespace halvane::driver::testing_support {
namespace {

// The carrier-to-noise the receiver reads for a station sent at `cnrDb` (in 200 kHz), and the
// L-R share the blend settles on, after 1.5 s.
TEST(SdrReceptionTest, TheBlendNarrowsTheSoundAsQualityFallsAndNotAboveItsThreshold) {
  float previous = 2;
  for (const double cnrDb : {45.0, 37.0, 30.0, 25.0, 20.0, 10.0}) {
    sdr::TransmitterOptions options = ImpairedStation(cnrDb);
    sdr::Transmitter transmitter(options);
    sdr::Receiver receiver({kTestRate, 50});
    receiver.Tune(0);
    float least = 1;
    float most = 0;
    RunStation(transmitter, receiver, 1.5, [&](int64_t ms) {
      if (ms < 1000) return;
      least = std::min(least, receiver.reception().separation);
      most = std::max(most, receiver.reception().separation);
    });
    EXPECT_TRUE(receiver.PilotLocked()) << cnrDb;
    EXPECT_LE(most, previous + 0.01f) << cnrDb;
    if (cnrDb >= sdr::kFullStereoCnrDb + 2) {
      EXPECT_GT(least, 0.99f) << cnrDb;
    } else {
      EXPECT_LT(most, 0.9f) << cnrDb;
    }
    if (cnrDb < sdr::kMonoCnrDb) {
      EXPECT_LT(most, 0.05f) << cnrDb;
    }
    previous = least;
  }
}

// A strong station's left tone stays out of the right channel by at least 40 dB.
TEST(SdrReceptionTest, SeparatesTheChannelsByFortyDecibels) {
  constexpr double kRate = 1'024'000;
  sdr::TransmitterOptions options = ImpairedStation(45);
  options.sampleRate = kRate;
  options.clockErrorPpm = 20;  // a dongle's crystal; the model's 100 ppm costs some 6 dB here
  options.multiplex.tone = {1000, true, false, 0.5};
  sdr::Transmitter transmitter(options);
  sdr::Receiver receiver({kRate, 50});
  receiver.Tune(0);
  const std::vector<float> audio = RunStation(transmitter, receiver, 1.5, {}, kRate);
  const double left = TonePower(audio, 0, 1000, 48000);
  const double right = TonePower(audio, 1, 1000, 48000);
  EXPECT_NEAR(std::sqrt(left) * 2, 0.5, 0.02);
  EXPECT_GT(10 * std::log10(left / right), 40);
}

// The carrier goes for a second: the noise that takes its place is held at least 20 dB under the
// station's tone, and the tone is back at its level within 100 ms of the carrier's return. With
// the soft mute off the same gap is loud.
TEST(SdrReceptionTest, TheSoftMuteHoldsAnEmptyChannelDownAndLetsTheStationBackAtOnce) {
  for (const bool softMute : {true, false}) {
    sdr::TransmitterOptions options = ImpairedStation(30);
    options.dropoutFromS = 1.0;
    options.dropoutS = 1.0;
    sdr::Transmitter transmitter(options);
    sdr::Receiver receiver({kTestRate, 50, {.softMute = softMute}});
    receiver.Tune(0);
    const std::vector<float> audio = RunStation(transmitter, receiver, 2.5);
    const auto power = [&](double fromS, double toS) {
      double sum = 0;
      const auto from = static_cast<size_t>(fromS * 48000);
      const auto to = static_cast<size_t>(toS * 48000);
      for (size_t i = 2 * from; i < 2 * to; ++i) sum += audio[i] * audio[i];
      return sum / static_cast<double>(2 * (to - from));
    };
    const double tone = power(0.5, 1.0);
    const double gapDb = 10 * std::log10(tone / power(1.1, 1.95));
    const double backDb = 10 * std::log10(power(2.1, 2.4) / tone);
    if (softMute) {
      EXPECT_GT(gapDb, 20);
      EXPECT_NEAR(backDb, 0, 1);
    } else {
      EXPECT_LT(gapDb, 10);
    }
  }
}

// A still echo 5 us behind at -6 dB: with the equaliser the receiver reads the carrier-to-noise
// it was sent at (the echo no longer counts as noise), tells of the echo (its taps off the main
// one, which read a little under the echo's own level), and keeps the separation; without it
// the echo reads as noise.
TEST(SdrReceptionTest, TheEqualiserConvergesOnAStillEcho) {
  double equalisedDb = 0;
  for (const bool equaliser : {true, false}) {
    sdr::TransmitterOptions options = ImpairedStation(40);
    options.echoes = {{5, -6, 0}};
    options.multiplex.tone = {1000, true, false, 0.5};
    sdr::Transmitter transmitter(options);
    sdr::Receiver receiver({kTestRate, 50, {.equaliser = equaliser}});
    receiver.Tune(0);
    const std::vector<float> audio = RunStation(transmitter, receiver, 1.5);
    const sdr::Reception reception = receiver.reception();
    ASSERT_TRUE(reception.cnrDb);
    if (equaliser) {
      equalisedDb = *reception.cnrDb;
      EXPECT_GT(*reception.cnrDb, 30);
      ASSERT_TRUE(reception.multipathDb);
      EXPECT_NEAR(*reception.multipathDb, -8, 4);
      const double left = TonePower(audio, 0, 1000, 48000);
      EXPECT_GT(10 * std::log10(left / TonePower(audio, 1, 1000, 48000)), 30);
    } else {
      EXPECT_LT(*reception.cnrDb, equalisedDb - 5);
      EXPECT_FALSE(reception.multipathDb);
    }
  }
}

// A weak station with no echo: the equaliser's taps only wander in the noise, so the
// discriminator keeps the plain channel and RDS decodes as well as with the equaliser off.
TEST(SdrReceptionTest, TheEqualiserLeavesAWeakStationWithNoEchoAlone) {
  int groups[2] = {0, 0};
  for (const bool equaliser : {true, false}) {
    sdr::Transmitter transmitter(ImpairedStation(11));
    sdr::Receiver receiver({kTestRate, 50, {.equaliser = equaliser}});
    receiver.Tune(0);
    receiver.TapGroups([&](const rds::ReceivedGroup& group) {
      if (group.UnusableCount() == 0) ++groups[equaliser ? 0 : 1];
    });
    RunStation(transmitter, receiver, 6);
  }
  EXPECT_GT(groups[1], 20);
  EXPECT_GE(groups[0], groups[1] * 9 / 10);
}

// A car among buildings: echoes turning at 10 and 30 Hz. Their nulls are no loss of the
// carrier, and what the equaliser leaves of them is no weak carrier, so the soft mute leaves a
// strong station's level alone, and the tone plays clean (noise and distortion 25 dB under it).
TEST(SdrReceptionTest, AMovingEchoIsNeitherMutedNorHeardAsNoise) {
  for (const auto& [echo, cnrDb] :
       {std::pair{sdr::Echo{10, -3, 10}, 37.0}, std::pair{sdr::Echo{20, -6, 30}, 27.0}}) {
    sdr::TransmitterOptions options = ImpairedStation(cnrDb);
    options.sampleRate = 1'024'000;  // noise beside the channel to tell the carrier's quality by
    options.echoes = {echo};
    options.clockErrorPpm = 0;                              // the tone is measured at 1 kHz exactly
    options.multiplex.tone = {1000, true, true, 0.5, 400};  // 400 Hz on the right
    sdr::Transmitter transmitter(options);
    sdr::Receiver receiver({options.sampleRate, 50});
    receiver.Tune(0);
    double mostMuteDb = 0;
    const std::vector<float> audio = RunStation(
        transmitter, receiver, 2,
        [&](int64_t ms) {
          if (ms >= 1000) mostMuteDb = std::max(mostMuteDb, receiver.reception().softMuteDb);
        },
        options.sampleRate);
    EXPECT_LT(mostMuteDb, 0.5) << echo.dopplerHz;
    const size_t skip = 48000;
    double total = 0;
    for (size_t i = 2 * skip; i < audio.size(); i += 2) total += audio[i] * audio[i];
    total /= static_cast<double>(audio.size() / 2 - skip);
    // A sine's power is A^2 / 2; the right channel's tone, blended in, is no noise.
    const double tone = 2 * TonePower(audio, 0, 1000, skip);
    const double right = 2 * TonePower(audio, 0, 400, skip);
    EXPECT_GT(10 * std::log10(tone / (total - tone - right)), 25) << echo.dopplerHz;
  }
}

// Beside a neighbour 20 dB stronger 200 kHz away, whose edge reaches into the channel, the
// equaliser holds its pass-through rather than steer by it.
TEST(SdrReceptionTest, TheEqualiserHoldsBesideAStrongNeighbour) {
  sdr::TransmitterOptions options = ImpairedStation(40);
  options.sampleRate = 1'024'000;
  sdr::Neighbour neighbour;
  neighbour.relativeDb = 20;
  neighbour.multiplex.tone = {2500, true, true, 0.9};  // loud, its spectrum at its widest
  options.neighbours = {neighbour};
  sdr::Transmitter transmitter(options);
  sdr::Receiver receiver({options.sampleRate, 50});
  receiver.Tune(0);
  RunStation(
      transmitter, receiver, 1, [&](int64_t) { EXPECT_FALSE(receiver.reception().multipathDb); },
      options.sampleRate);
}

}  // namespace
}  // namespace halvane::driver::testing_support
