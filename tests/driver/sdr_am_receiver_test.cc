// The AM receiver on the transmitter model's AM stations: the programme comes through clean,
// beside a strong neighbour, through impulse noise and through selective fading; the measured
// carrier-to-noise is the one sent, and an empty channel is no station.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sdr/dsp/am_receiver.h"
#include "sdr/dsp/receiver.h"
#include "sdr/sources/am_transmitter.h"
#include "sdr_test_support.h"

namespace halvane::driver::sdr {
namespace {

using testing_support::kTestRate;
using testing_support::TonePower;

constexpr double kOffsetHz = 40'000;  // the station's carrier from the samples' centre

struct Reception {
  double snrDb;
  std::optional<double> cnrDb;
  bool locked;
};

// `carrier` false: the noise alone, as on an empty channel.
Reception Receive(AmTransmitterOptions options, double seconds, bool carrier = true) {
  options.sampleRate = kTestRate;
  options.carrierOffsetHz = kOffsetHz;
  AmTransmitter transmitter(options);
  if (!carrier) transmitter.SetAmplitude(0);
  AmReceiver receiver(kTestRate);
  receiver.Tune(kOffsetHz);
  std::vector<Complex> iq(static_cast<size_t>(kTestRate / 100));
  std::vector<float> audio;
  for (int piece = 0; piece < seconds * 100; ++piece) {
    transmitter.Generate(iq);
    receiver.Process(iq, audio);
  }
  // From the second second on, in pieces of 100 ms (so a tone whose strength swells and fades
  // stays one tone): the tone's power against everything else in the left channel.
  constexpr size_t kPiece = 2 * 4'800;
  double tone = 0;
  double total = 0;
  for (size_t at = 2 * 48'000; at + kPiece <= audio.size(); at += kPiece) {
    const std::vector<float> piece(audio.begin() + static_cast<ptrdiff_t>(at),
                                   audio.begin() + static_cast<ptrdiff_t>(at + kPiece));
    tone += 2 * TonePower(piece, 0, options.tone.hz, 0);
    double power = 0;
    for (size_t i = 0; i < piece.size(); i += 2) power += piece[i] * piece[i];
    total += power / (kPiece / 2);
  }
  return {10 * std::log10(tone / std::max(total - tone, 1e-12)), receiver.CarrierToNoiseDb(),
          receiver.Locked()};
}

TEST(SdrAmReceiver, PlaysTheProgrammeThroughWhatTheAirDoesToIt) {
  struct Case {
    const char* name;
    void (*impair)(AmTransmitterOptions&);
    double minimumSnrDb;
    double seconds = 3;
  };
  const Case cases[] = {
      {"clean", [](AmTransmitterOptions&) {}, 35},
      {"neighbour 9 kHz away, 20 dB stronger",
       [](AmTransmitterOptions& o) {
         o.neighbours.push_back({9'000, 20, {700}, 1.0});
       },
       30},
      {"neighbour 10 kHz below, 20 dB stronger",
       [](AmTransmitterOptions& o) {
         o.neighbours.push_back({-10'000, 20, {700}, 1.0});
       },
       30},
      {"20 clicks a second", [](AmTransmitterOptions& o) { o.clicksPerSecond = 20; }, 30},
      {"selective fading", [](AmTransmitterOptions& o) { o.skyWave = SkyWave{}; }, 15, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AmTransmitterOptions options;
    options.cnrDb = 50;
    c.impair(options);
    const Reception run = Receive(options, c.seconds);
    EXPECT_GE(run.snrDb, c.minimumSnrDb);
    EXPECT_TRUE(run.locked);
  }
}

TEST(SdrAmReceiver, MeasuresTheCarrierToNoiseSentAndNoStationInNoise) {
  for (const double cnrDb : {13.0, 25.0, 33.0}) {  // each in the middle of its level
    AmTransmitterOptions options;
    options.cnrDb = cnrDb;
    const Reception run = Receive(options, 1);
    ASSERT_TRUE(run.cnrDb.has_value());
    EXPECT_NEAR(*run.cnrDb, cnrDb, 1.5) << "sent at " << cnrDb;
    EXPECT_EQ(LevelForCnr(run.cnrDb), LevelForCnr(cnrDb)) << "sent at " << cnrDb;
  }
  AmTransmitterOptions empty;
  empty.cnrDb = 30;
  const Reception run = Receive(empty, 1, false);
  EXPECT_EQ(LevelForCnr(run.cnrDb), 15);
  EXPECT_FALSE(run.locked);
}

}  // namespace
}  // namespace halvane::driver::sdr
