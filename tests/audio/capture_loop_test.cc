// The capture loop through an ALSA device of the test's own configuration.
#include "audio/capture_loop.h"

#include <gtest/gtest.h>

#include "alsa_source.h"
#include "pulse_daemon.h"

namespace halvane::audio_test {
namespace {

using driver::audio::CaptureDeviceName;
using driver::audio::CaptureLoop;

TEST(CaptureLoop, CopiesTheCaptureDeviceToTheSinkAndMutesInTheLoop) {
  const std::vector<float> input = SourceSamples(4800);
  const std::string device = DefineAlsaSource(input);

  for (bool muted : {false, true}) {
    SCOPED_TRACE(muted ? "muted" : "playing");
    auto sink = std::make_shared<RecordingSink>();
    CaptureLoop loop;
    loop.stage().SetMute(muted);
    std::string reason;
    ASSERT_TRUE(loop.Start(device, sink, reason)) << reason;
    ASSERT_TRUE(WaitUntil([&] { return sink->samples().size() >= input.size(); }));
    loop.Stop();
    EXPECT_FALSE(loop.running());

    const std::vector<float> got = sink->samples();
    for (size_t i = 0; i < input.size(); ++i)
      ASSERT_EQ(got[i], muted ? 0.0f : input[i]) << "sample " << i;
  }
}

TEST(CaptureLoop, AMissingDeviceRunsNothingAndSaysWhich) {
  auto sink = std::make_shared<RecordingSink>();
  CaptureLoop loop;
  std::string reason;
  EXPECT_FALSE(loop.Start("hw:CARD=HalvaneNoSuchCard", sink, reason));
  EXPECT_FALSE(loop.running());
  EXPECT_NE(reason.find("plughw:CARD=HalvaneNoSuchCard"), std::string::npos) << reason;
  EXPECT_EQ(CaptureDeviceName("default"), "default");
}

}  // namespace
}  // namespace halvane::audio_test
