// The programme stage on its own: the volume's gain is reached with a ramp, never a step, and a
// mute and its end come back to that gain rather than to full.
#include "audio/programme_stage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace halvane::driver::audio {
namespace {

// `frames` stereo frames of full-scale DC through `stage`.
std::vector<float> Through(ProgrammeStage& stage, int frames) {
  std::vector<float> samples(static_cast<size_t>(frames) * kChannels, 1.0f);
  stage.Process(samples);
  return samples;
}

float LargestStep(const std::vector<float>& samples, float from) {
  float largest = std::fabs(samples[0] - from);
  for (size_t i = kChannels; i < samples.size(); i += kChannels)
    largest = std::max(largest, std::fabs(samples[i] - samples[i - kChannels]));
  return largest;
}

TEST(ProgrammeStage, VolumeRampsToItsGainAndMuteReturnsToIt) {
  EXPECT_FLOAT_EQ(VolumeGain(100), 1.0f);
  EXPECT_FLOAT_EQ(VolumeGain(50), 0.125f);
  EXPECT_FLOAT_EQ(VolumeGain(0), 0.0f);
  EXPECT_FLOAT_EQ(VolumeGain(250), 1.0f);

  ProgrammeStage stage;
  EXPECT_FLOAT_EQ(Through(stage, 1).back(), 1.0f);
  stage.SetVolume(VolumeGain(50));
  std::vector<float> ramp = Through(stage, 2 * kRampFrames);
  EXPECT_LE(LargestStep(ramp, 1.0f), 1.5f / kRampFrames);
  EXPECT_FLOAT_EQ(ramp.back(), 0.125f);

  stage.SetMute(true);
  EXPECT_FLOAT_EQ(Through(stage, 2 * kRampFrames).back(), 0.0f);
  stage.SetMute(false);
  std::vector<float> back = Through(stage, 2 * kRampFrames);
  EXPECT_LE(LargestStep(back, 0.0f), 1.5f / kRampFrames);
  EXPECT_FLOAT_EQ(back.back(), 0.125f);
}

}  // namespace
}  // namespace halvane::driver::audio
