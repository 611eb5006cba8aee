// The receiver chain against the transmitter model: stereo separation and a mono station's RDS.
// RDS through noise, a carrier offset and a sample clock that runs off is held by the tuner's
// test, which reads it through the same chain.
#include <gtest/gtest.h>

#include <cmath>

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

TEST(SdrReceiverTest, AMonoStationsRdsComesWithoutAPilot) {
  sdr::TransmitterOptions options = ImpairedStation(25);
  options.multiplex.stereo = false;
  sdr::Transmitter transmitter(options);
  sdr::Receiver receiver({kTestRate, 50});
  receiver.Tune(0);
  const std::vector<float> audio = RunStation(transmitter, receiver, 3.0);
  EXPECT_FALSE(receiver.PilotLocked());
  ASSERT_TRUE(receiver.monitor().decoder().HasData());
  EXPECT_EQ(Text(receiver.monitor().decoder().data().ps.data(), 8), "SDR TEST");
  // Both channels carry the same programme.
  EXPECT_NEAR(TonePower(audio, 0, 1000, 24000), TonePower(audio, 1, 1000, 24000), 1e-4);
}

}  // namespace
}  // namespace halvane::driver::testing_support
