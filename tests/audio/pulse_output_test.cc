// The PulseAudio output against a daemon of the test's own: what is written is heard at its
// frequency and level, mute falls silent within 100 ms without a click, forced mono gives equal
// channels, the stream carries the station's name; without a server the radio plays silently and
// says why.
#include "audio/pulse_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "audio/programme_stage.h"
#include "last_reason.h"
#include "pulse_daemon.h"
#include "tone_analysis.h"

namespace halvane::audio_test {
namespace {

using driver::audio::AudioSink;
using driver::audio::NullAudioSink;
using driver::audio::OpenAudioOutput;
using driver::audio::ProgrammeStage;
using driver::audio::PulseOutput;

constexpr size_t kPhaseFrames = 19200;  // 400 ms
constexpr size_t kChunkFrames = 480;
// Exact silence this long is a gap in what was played, never part of the tones.
constexpr size_t kGapFrames = 48;
constexpr double kLeftHz = 1000, kLeftAmplitude = 0.5;
constexpr double kRightHz = 1500, kRightAmplitude = 0.25;

// Writes the tone through the stage at the pace the output plays it: stereo, then forced mono,
// then muted. Returns the programme frame where each phase began.
struct Phases {
  size_t mono = 0;
  size_t mute = 0;
  size_t end = 0;
};

Phases PlayPhases(PulseOutput& output, ProgrammeStage& stage) {
  Phases phases{kPhaseFrames, 2 * kPhaseFrames, 3 * kPhaseFrames};
  for (size_t frame = 0; frame < phases.end; frame += kChunkFrames) {
    if (frame == phases.mono) stage.SetMono(true);
    if (frame == phases.mute) stage.SetMute(true);
    // Keep 300 ms queued: even a test machine under load does not starve the output, and the
    // queue's 400 ms are not overrun.
    WaitUntil([&] { return output.counts().queuedFrames < 14400; });
    std::vector<float> chunk =
        Tone(kLeftHz, kLeftAmplitude, kRightHz, kRightAmplitude, frame, kChunkFrames);
    stage.Process(chunk);
    output.Write(chunk);
  }
  return phases;
}

// The output, playing on the test's own daemon; null (with the reason said) when it can't.
std::unique_ptr<PulseOutput> OpenOn(const PulseDaemon& daemon) {
  EXPECT_TRUE(daemon.ready());
  std::string reason;
  std::unique_ptr<PulseOutput> output = PulseOutput::Open(reason);
  EXPECT_NE(output, nullptr) << reason;
  return output;
}

TEST(PulseOutput, PlaysTheToneMutesWithinAHundredMillisecondsAndSumsToMono) {
  PulseDaemon daemon;
  std::unique_ptr<PulseOutput> output = OpenOn(daemon);
  ASSERT_NE(output, nullptr);
  output->SetTitle("Halvane FM");
  EXPECT_TRUE(WaitUntil([&] {
    return daemon.Pactl({"list", "sink-inputs"}).find("media.name = \"Halvane FM\"") !=
           std::string::npos;
  }));

  MonitorRecorder recorder(daemon);
  ASSERT_TRUE(WaitUntil([&] { return recorder.frames() > 0; }));
  ProgrammeStage stage;
  const Phases phases = PlayPhases(*output, stage);
  // Let the queue and the server play out, then 300 ms more of the monitor.
  ASSERT_TRUE(WaitUntil([&] { return output->counts().queuedFrames == 0; }));
  const size_t played = recorder.frames();
  ASSERT_TRUE(WaitUntil([&] { return recorder.frames() > played + 4800 + 14400; }));
  const std::vector<float> recording = recorder.Finish();
  EXPECT_EQ(output->counts().overruns, 0u);  // nothing the writer gave was dropped

  // What was heard, without the silence the output and the server played while a starved writer
  // or client thread was late: the programme's frames in order, each at its programme position
  // from the onset on. The levels are the ones most 20 ms blocks carry, so the fade at such a gap
  // does not move them either.
  const std::vector<float> heard = WithoutGaps(recording, kGapFrames);
  const size_t onset = FirstAbove(heard, 0.01f);
  ASSERT_LT(onset + phases.mono + 9600, heard.size() / 2) << "too little was heard";

  // Stereo: each channel holds its own tone at its level, and nothing else.
  const size_t stereo = onset + 4800;
  const std::vector<float> left = Channel(heard, 0, stereo, 9600);
  const std::vector<float> right = Channel(heard, 1, stereo, 9600);
  EXPECT_NEAR(ToneLevel(left, kLeftHz), kLeftAmplitude, 0.02);
  EXPECT_NEAR(ToneLevel(right, kRightHz), kRightAmplitude, 0.02);
  EXPECT_LT(ToneLevel(left, kRightHz), 0.005);

  // Forced mono: both channels carry the same sum, from the mono phase on.
  const size_t mono = EqualChannels(heard, onset, 9600);
  ASSERT_LT(mono, heard.size() / 2) << "no 200 ms of equal channels";
  const std::vector<float> monoLeft = Channel(heard, 0, mono, 9600);
  EXPECT_NEAR(ToneLevel(monoLeft, kLeftHz), kLeftAmplitude / 2, 0.02);
  EXPECT_NEAR(ToneLevel(monoLeft, kRightHz), kRightAmplitude / 2, 0.02);

  EXPECT_GE(recording.size() / 2 - LastAbove(recording, 0.001f), 9600u);  // silent for good

  // The rest holds only while the server played every frame it was given: when its thread found
  // the stream empty it cut to silence and dropped what came late, a click and a shift that are
  // the server's.
  if (output->serverUnderflows() > 0)
    GTEST_SKIP() << "the sound server ran dry " << output->serverUnderflows()
                 << " times: clicks, mono's and the mute's time cannot be told";
  EXPECT_GE(mono, onset + phases.mono);
  // No click anywhere: a 1 kHz tone at 0.5 moves at most 0.066 from one sample to the next (a
  // late writer's gap fades out and in).
  EXPECT_LT(LargestStep(recording, FirstAbove(recording, 0.01f)), 0.08f);
  // Muted no later than 100 ms after the mute, in programme frames.
  const size_t lastSound = LastAbove(heard, 0.001f);
  EXPECT_LE(lastSound, onset + phases.mute + 4800);
  EXPECT_GT(lastSound, onset + phases.mute - 4800) << "fell silent before the mute";
}

// A writer that hands over 100 ms at a time, each on time by the server's own clock (the
// monitor's frames), as the driver does from its first call: the first second is heard whole.
TEST(PulseOutput, TheFirstSecondOfBurstsPlaysWithoutAGap) {
  constexpr size_t kBurstFrames = 4800;
  constexpr size_t kBursts = 10;
  PulseDaemon daemon;
  std::unique_ptr<PulseOutput> output = OpenOn(daemon);
  ASSERT_NE(output, nullptr);
  MonitorRecorder recorder(daemon);
  ASSERT_TRUE(WaitUntil([&] { return recorder.frames() > 0; }));
  const size_t start = recorder.frames();
  size_t latest = 0;  // the latest write, in server frames after its time
  // One burst more than is judged: the queue runs dry after the last, as it must.
  for (size_t burst = 0; burst <= kBursts; ++burst) {
    const size_t due = start + burst * kBurstFrames;
    ASSERT_TRUE(WaitUntil([&] { return recorder.frames() >= due; }));
    latest = std::max(latest, recorder.frames() - due);
    output->Write(Tone(kLeftHz, kLeftAmplitude, kRightHz, kRightAmplitude, burst * kBurstFrames,
                       kBurstFrames));
  }
  ASSERT_TRUE(WaitUntil([&] { return output->counts().queuedFrames < kBurstFrames / 2; }));
  const size_t underruns = output->counts().underruns;  // while the first second played
  ASSERT_TRUE(WaitUntil([&] { return output->counts().queuedFrames == 0; }));
  const size_t played = recorder.frames();
  ASSERT_TRUE(WaitUntil([&] { return recorder.frames() > played + 14400; }));
  const std::vector<float> recording = recorder.Finish();
  // A write 50 ms late by the server's clock is more than a call on time is allowed; a server
  // that ran dry dropped frames of its own.
  if (latest > 2400 || output->serverUnderflows() > 0) {
    GTEST_SKIP() << "a write came " << latest << " frames late, the server ran dry "
                 << output->serverUnderflows() << " times";
  }
  EXPECT_EQ(underruns, 0u);
  const size_t onset = FirstAbove(recording, 0.01f);
  ASSERT_LT(onset + kBursts * kBurstFrames, recording.size() / 2) << "too little was heard";
  size_t zeros = 0;
  for (size_t frame = onset; frame < onset + kBursts * kBurstFrames; ++frame) {
    const bool silent = recording[2 * frame] == 0.0f && recording[2 * frame + 1] == 0.0f;
    zeros = silent ? zeros + 1 : 0;
    ASSERT_LT(zeros, kGapFrames) << "a gap " << (frame - onset) / 48 << " ms after the onset";
  }
}

// A sound server that goes away and comes back (a desktop restarting it) is played on again, with
// no help from the radio, which goes on writing all the while.
TEST(PulseOutput, PlaysOnWhenARestartedServerIsBack) {
  PulseDaemon daemon;
  std::unique_ptr<PulseOutput> output = OpenOn(daemon);
  ASSERT_NE(output, nullptr);
  std::atomic<bool> writing{true};
  std::thread writer([&] {
    for (size_t frame = 0; writing; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
      while (writing && output->counts().queuedFrames < 9600) {
        output->Write(
            Tone(kLeftHz, kLeftAmplitude, kRightHz, kRightAmplitude, frame, kChunkFrames));
        frame += kChunkFrames;
      }
    }
  });
  const auto playing = [&] {
    return daemon.Pactl({"list", "sink-inputs"}).find("Halvane radio") != std::string::npos;
  };
  EXPECT_TRUE(WaitUntil(playing));
  daemon.Restart();
  EXPECT_TRUE(daemon.ready());
  MonitorRecorder recorder(daemon);
  EXPECT_TRUE(WaitUntil(playing));
  const size_t start = recorder.frames();
  EXPECT_TRUE(WaitUntil([&] { return recorder.frames() > start + 24000; }));
  const std::vector<float> recording = recorder.Finish();
  writing = false;
  writer.join();
  // Heard again on the server's own clock: the monitor plays on while the radio reconnects.
  const size_t again = FirstAbove(recording, 0.01f);
  ASSERT_LT(again, recording.size() / 2) << "nothing was heard after the restart";
  std::printf("played again %.2f s after the server was back\n", again / 48000.0);
  const std::vector<float> heard = WithoutGaps(recording, kGapFrames);
  EXPECT_NEAR(ToneLevel(Channel(heard, 0, 4800, 9600), kLeftHz), kLeftAmplitude, 0.02);
}

TEST(PulseOutput, WithoutASoundServerPlaysSilentlyAndSaysWhy) {
  setenv("PULSE_SERVER", "unix:/nonexistent/halvane/native", 1);
  driver::ClearLastReason();
  std::unique_ptr<AudioSink> sink = OpenAudioOutput();
  unsetenv("PULSE_SERVER");
  EXPECT_NE(dynamic_cast<NullAudioSink*>(sink.get()), nullptr);
  EXPECT_NE(driver::LastReason().find("no sound server"), std::string_view::npos)
      << driver::LastReason();
  const std::vector<float> chunk(960, 0.5f);
  sink->Write(chunk);  // taken and dropped
}

}  // namespace
}  // namespace halvane::audio_test
