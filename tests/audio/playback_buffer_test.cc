// The playback queue's handling of a writer that comes late, in bursts, or races ahead.
#include "audio/playback_buffer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tone_analysis.h"

namespace halvane::audio_test {
namespace {

using driver::audio::PlaybackBuffer;

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
  EXPECT_EQ(buffer.counts().queuedFrames, 200u);

  buffer.Push(Constant(200, 0.5f));
  buffer.Pull(out);  // playing, fading in
  EXPECT_GT(out[0], 0.0f);
  EXPECT_LT(out[0], 0.05f);
  EXPECT_EQ(out[2 * 199], 0.5f);

  buffer.Pull(out);  // the last 200 frames: they fade to nothing instead of stopping dead
  EXPECT_EQ(buffer.counts().underruns, 1u);
  EXPECT_EQ(buffer.counts().reserveFrames, 450u);
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
  EXPECT_EQ(buffer.counts().queuedFrames, 900u);

  std::vector<float> out(2 * 300);
  buffer.Pull(out);                  // the reserve passes
  buffer.Pull(out);                  // playing
  buffer.Push(Constant(50, 0.25f));  // 600 queued, more than the reserve: still dropped
  EXPECT_EQ(buffer.counts().queuedFrames, 600u);
  buffer.Pull(out);
  buffer.Push(Constant(200, 0.25f));  // 300 queued: taken, fading in
  EXPECT_EQ(buffer.counts().queuedFrames, 500u);
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

TEST(PlaybackBuffer, AHushFadesWhatPlaysNextAndDropsTheRest) {
  PlaybackBuffer buffer(4000, 100, 1000);
  buffer.Push(Constant(2000, 0.5f));
  std::vector<float> out(2 * 200);
  buffer.Pull(out);  // the reserve passes
  buffer.Pull(out);  // playing
  buffer.Hush();
  EXPECT_EQ(buffer.counts().queuedFrames, 480u);
  buffer.Push(Constant(1000, 0.0f));  // the writer goes on, muted

  std::vector<float> rest(2 * 600);
  buffer.Pull(rest);
  EXPECT_NEAR(rest[0], 0.5f, 0.01f);
  EXPECT_EQ(rest[2 * 480], 0.0f);
  EXPECT_LT(LargestStep(rest, 0), 0.01f);
  EXPECT_EQ(buffer.counts().underruns, 0u);
  EXPECT_EQ(buffer.counts().reserveFrames, 100u);
}

}  // namespace
}  // namespace halvane::audio_test
