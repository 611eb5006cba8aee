// The programme's way to a sink: the stage's mute ramp and mono sum, and the playback queue's
// handling of a writer that stalls or races ahead.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/playback_buffer.h"
#include "audio/programme_stage.h"
#include "tone_analysis.h"

namespace halvane::audio_test {
namespace {

using driver::audio::kRampFrames;
using driver::audio::PlaybackBuffer;
using driver::audio::ProgrammeStage;

TEST(ProgrammeStage, MuteRampsToSilenceWithinTenMillisecondsAndBack) {
  ProgrammeStage stage;
  std::vector<float> block = Tone(1000, 0.5, 1000, 0.5, 0, 2 * kRampFrames);
  stage.SetMute(true);
  stage.Process(block);
  // Falling without a step, silent from the end of the ramp on.
  EXPECT_LT(LargestStep(block, 0), 0.07f);
  EXPECT_GT(std::fabs(block[2 * 10]), 0.0f);
  for (size_t i = 2 * kRampFrames; i < block.size(); ++i) ASSERT_EQ(block[i], 0.0f) << i;

  std::vector<float> again = Tone(1000, 0.5, 1000, 0.5, 2 * kRampFrames, 2 * kRampFrames);
  const std::vector<float> original = again;
  stage.SetMute(false);
  stage.Process(again);
  EXPECT_LT(LargestStep(again, 0), 0.07f);
  for (size_t i = 2 * kRampFrames; i < again.size(); ++i) ASSERT_EQ(again[i], original[i]) << i;
}

TEST(ProgrammeStage, ForcedMonoGivesBothChannelsTheSumAndResetSkipsTheRamps) {
  ProgrammeStage stage;
  stage.SetMono(true);
  stage.SetMute(true);
  stage.Reset();
  std::vector<float> block = Tone(1000, 0.5, 700, 0.3, 0, 4);
  stage.Process(block);
  for (float s : block) EXPECT_EQ(s, 0.0f);

  stage.SetMute(false);
  stage.Reset();
  block = Tone(1000, 0.5, 700, 0.3, 0, 64);
  const std::vector<float> original = block;
  stage.Process(block);
  for (size_t f = 0; f < 64; ++f) {
    EXPECT_EQ(block[2 * f], block[2 * f + 1]);
    EXPECT_FLOAT_EQ(block[2 * f], (original[2 * f] + original[2 * f + 1]) / 2);
  }
}

std::vector<float> Constant(size_t frames, float value) {
  return std::vector<float>(2 * frames, value);
}

TEST(PlaybackBuffer, ALateWriterFadesOutOnceAndThenGetsALongerReserve) {
  PlaybackBuffer buffer(2000, 300, 450);
  std::vector<float> out(2 * 200);
  buffer.Push(Constant(200, 0.5f));
  buffer.Pull(out);  // the reserve has not passed: silence, the queue keeps its frames
  buffer.Pull(out);
  EXPECT_EQ(Rms(out), 0.0);
  EXPECT_EQ(buffer.counts().queued_frames, 200u);

  buffer.Push(Constant(200, 0.5f));
  buffer.Pull(out);  // playing, fading in
  EXPECT_GT(out[0], 0.0f);
  EXPECT_LT(out[0], 0.05f);
  EXPECT_EQ(out[2 * 199], 0.5f);

  buffer.Pull(out);  // the last 200 frames: they fade to nothing instead of stopping dead
  EXPECT_EQ(buffer.counts().underruns, 1u);
  EXPECT_EQ(buffer.counts().reserve_frames, 450u);
  EXPECT_EQ(out[0], 0.5f);
  EXPECT_LT(out[2 * 199], 0.01f);
  EXPECT_LT(LargestStep(out, 0), 0.01f);

  buffer.Pull(out);  // dry: silence, and no second gap counted
  buffer.Push(Constant(400, 0.5f));
  for (int i = 0; i < 3; ++i) {
    buffer.Pull(out);  // the longer reserve: three requests of silence, not two
    EXPECT_EQ(Rms(out), 0.0) << i;
  }
  buffer.Pull(out);
  EXPECT_EQ(out[2 * 199], 0.5f);
  EXPECT_EQ(buffer.counts().underruns, 1u);
}

TEST(PlaybackBuffer, AWriterInBurstsPlaysWithoutAGap) {
  // 1000 frames at once every tenth request of 100: the first burst waits out the reserve, so
  // each later burst arrives with 300 frames still queued.
  PlaybackBuffer buffer(4000, 300, 1000);
  std::vector<float> played;
  std::vector<float> out(2 * 100);
  for (int request = 0; request < 100; ++request) {
    if (request % 10 == 0) buffer.Push(Constant(1000, 0.5f));
    buffer.Pull(out);
    played.insert(played.end(), out.begin(), out.end());
  }
  EXPECT_EQ(buffer.counts().underruns, 0u);
  EXPECT_EQ(FirstAbove(played, 0.0f), 300u);
  for (size_t i = 2 * (300 + 120); i < played.size(); ++i) ASSERT_EQ(played[i], 0.5f) << i;
}

TEST(PlaybackBuffer, AWriterAheadIsDroppedUntilDrainedToTheReserveWithoutASecondGap) {
  PlaybackBuffer buffer(1000, 300, 500);
  buffer.Push(Constant(900, 0.5f));
  buffer.Push(Constant(200, 0.25f));  // does not fit: dropped, the queue's tail fades out
  EXPECT_EQ(buffer.counts().overruns, 1u);
  EXPECT_EQ(buffer.counts().queued_frames, 900u);

  std::vector<float> out(2 * 300);
  buffer.Pull(out);                  // the reserve passes
  buffer.Pull(out);                  // playing
  buffer.Push(Constant(50, 0.25f));  // 600 queued, more than the reserve: still dropped
  EXPECT_EQ(buffer.counts().queued_frames, 600u);
  buffer.Pull(out);
  buffer.Push(Constant(200, 0.25f));  // 300 queued: taken, fading in
  EXPECT_EQ(buffer.counts().queued_frames, 500u);
  EXPECT_EQ(buffer.counts().overruns, 1u);

  std::vector<float> rest(2 * 380);
  buffer.Pull(rest);
  EXPECT_EQ(rest[0], 0.5f);
  EXPECT_EQ(rest[2 * 179], 0.5f);
  EXPECT_LT(rest[2 * 299], 0.01f);  // the faded tail of what was queued
  EXPECT_LT(rest[2 * 300], 0.01f);  // the fade-in of what came after
  EXPECT_NEAR(rest[2 * 359], 0.125f, 0.01f);
  EXPECT_LT(LargestStep(rest, 0), 0.01f);
}

}  // namespace
}  // namespace halvane::audio_test
