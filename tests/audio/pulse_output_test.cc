// The PulseAudio output against a daemon of the test's own: what is written is heard at its
// frequency and level, mute falls silent within 100 ms without a click, forced mono gives equal
// channels, the stream carries the station's name; without a server the radio plays silently and
// says why.
#include "audio/pulse_output.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(output->counts().overruns, 0u);
  // The one time the queue ran dry is the end; a gap before it would shift what follows.
  ASSERT_EQ(output->counts().underruns, 1u);

  const size_t onset = FirstAbove(recording, 0.01f);
  ASSERT_LT(onset, recording.size() / 2) << "nothing was heard";

  // Stereo: each channel holds its own tone at its level, and nothing else.
  const size_t stereo = onset + 4800;
  const std::vector<float> left = Channel(recording, 0, stereo, 9600);
  const std::vector<float> right = Channel(recording, 1, stereo, 9600);
  EXPECT_NEAR(ToneAmplitude(left, kLeftHz), kLeftAmplitude, 0.02);
  EXPECT_NEAR(ToneAmplitude(right, kRightHz), kRightAmplitude, 0.02);
  EXPECT_NEAR(Rms(left), kLeftAmplitude / std::sqrt(2.0), 0.02);
  EXPECT_LT(ToneAmplitude(left, kRightHz), 0.005);

  // Forced mono: both channels carry the same sum, for the length of the mono phase.
  const size_t mono = EqualChannels(recording, onset, 9600);
  ASSERT_LT(mono, recording.size() / 2) << "no 200 ms of equal channels";
  EXPECT_GE(mono, onset + phases.mono);
  const std::vector<float> monoLeft = Channel(recording, 0, mono, 9600);
  EXPECT_NEAR(ToneAmplitude(monoLeft, kLeftHz), kLeftAmplitude / 2, 0.02);
  EXPECT_NEAR(ToneAmplitude(monoLeft, kRightHz), kRightAmplitude / 2, 0.02);

  // Muted: silent no later than 100 ms after the mute, and for good.
  const size_t lastSound = LastAbove(recording, 0.001f);
  EXPECT_LE(lastSound, onset + phases.mute + 4800);
  EXPECT_GT(lastSound, onset + phases.mute - 4800) << "fell silent before the mute";
  EXPECT_GE(recording.size() / 2 - lastSound, 9600u);

  // No click anywhere: a 1 kHz tone at 0.5 moves at most 0.066 from one sample to the next.
  EXPECT_LT(LargestStep(recording, onset), 0.08f);
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
  const auto back = std::chrono::steady_clock::now();
  MonitorRecorder recorder(daemon);
  EXPECT_TRUE(WaitUntil(playing));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - back).count();
  const size_t start = recorder.frames();
  EXPECT_TRUE(WaitUntil([&] { return recorder.frames() > start + 24000; }));
  const std::vector<float> recording = recorder.Finish();
  writing = false;
  writer.join();
  std::printf("played again %.2f s after the server was back\n", seconds);
  EXPECT_LT(seconds, 3.0);
  ASSERT_GE(recording.size() / 2, start + 24000);
  EXPECT_NEAR(ToneAmplitude(Channel(recording, 0, start + 9600, 9600), kLeftHz), kLeftAmplitude,
              0.05);
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
