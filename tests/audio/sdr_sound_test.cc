// The SDR receiver's sound through the driver's exports to a PulseAudio daemon of the test's
// own: the synthetic station's programme, a 1 kHz tone on the left, is heard at its frequency
// and level on the left alone; forced mono gives equal channels; mute falls silent within
// 100 ms. The driver's clock is driven by the test, a little ahead of what the sound server has
// played, so every programme frame has a known time and neither side of a busy machine starves
// or floods the other.
#include <gtest/gtest.h>

#include <fstream>

#include "audio/pulse_output.h"
#include "halvane/driver_contract.h"
#include "pulse_daemon.h"
#include "test_hooks.h"
#include "tone_analysis.h"

extern "C" {
int32_t radioInitialize(void);
int32_t radioUninitialize(void);
int32_t VolumeMute(int32_t, int32_t);
int32_t radioForceMono(int32_t, int32_t);
int32_t radioSetFrequency(int32_t, int32_t);
int32_t radioGetFrequency(int32_t, int32_t*);
}

namespace halvane::audio_test {
namespace {

constexpr size_t kFramesPerMs = 48;

// Moves the driver's clock in 20 ms steps to `untilMs`, asking the tuner something at each so
// it demodulates, and keeps at most 200 ms ahead of what the sound server has played.
class ProgrammeClock {
 public:
  explicit ProgrammeClock(const MonitorRecorder& played)
      : played_(played), startFrames_(played.frames()) {}
  void PlayUntil(int64_t untilMs) {
    while (nowMs_ < untilMs) {
      WaitUntil([&] {
        return nowMs_ <= static_cast<int64_t>((played_.frames() - startFrames_) / 48) + 200;
      });
      HalvaneSimAdvanceClock(20);
      nowMs_ += 20;
      int32_t frequency = 0;
      radioGetFrequency(0, &frequency);
    }
  }
  int64_t NowMs() const { return nowMs_; }

 private:
  const MonitorRecorder& played_;
  const size_t startFrames_;
  int64_t nowMs_ = 0;
};

TEST(SdrSound, TheStationsToneIsHeardMutedWithinAHundredMillisecondsAndSummedToMono) {
  PulseDaemon daemon;
  ASSERT_TRUE(daemon.ready());
  const std::string config = daemon.folder() + "/tuner.ini";
  std::ofstream(config) << "backend = sdr\ndevice = synthetic\ntone = 1000\ntone_channel = left\n"
                        << "cnr = 40\nrate = 240000\n";
  setenv("HALVANE_TUNER_CONFIG", config.c_str(), 1);
  unsetenv("HALVANE_STATIONS");
  HalvaneSimReset();
  HalvaneSimUseManualClock(1);

  ASSERT_EQ(radioInitialize(), 0);
  // As the plug-in starts a radio: muted, then tuned; here to a strong stereo station.
  VolumeMute(0, 1);
  radioSetFrequency(0, 89'300'000);
  MonitorRecorder recorder(daemon);
  ASSERT_TRUE(WaitUntil([&] { return recorder.frames() > 0; }));

  ProgrammeClock clock(recorder);
  clock.PlayUntil(400);  // the receiver settles unheard
  const int64_t unmuted = clock.NowMs();
  // From here on what the server drops would move the programme's times.
  const size_t underflows = driver::audio::PulseOutput::AllServerUnderflows();
  VolumeMute(0, 0);
  clock.PlayUntil(unmuted + 600);
  const int64_t mono = clock.NowMs();
  radioForceMono(0, 1);
  clock.PlayUntil(mono + 600);
  const int64_t muted = clock.NowMs();
  VolumeMute(0, 1);
  clock.PlayUntil(muted + 600);
  const size_t recorded = recorder.frames();
  ASSERT_TRUE(WaitUntil([&] { return recorder.frames() > recorded + 14400; }));
  radioUninitialize();
  unsetenv("HALVANE_TUNER_CONFIG");
  HalvaneSimReset();
  const std::vector<float> recording = recorder.Finish();

  // What was heard from the unmute on; on a busy machine the sound server may have filled gaps
  // where the receiver was late, which the programme's times leave out.
  const std::vector<float> heard = WithoutGaps(recording, kFramesPerMs);
  // When the server's thread found the stream empty it dropped what came late: how much is heard,
  // and when mono began, then depend on the machine's load, not on the receiver.
  const size_t dry = driver::audio::PulseOutput::AllServerUnderflows() - underflows;
  if (heard.size() / 2 <= 800 * kFramesPerMs) {
    if (dry > 0) GTEST_SKIP() << "the sound server ran dry " << dry << " times: too little heard";
    FAIL() << "too little was heard";
  }

  // Stereo: the tone at half full scale on the left, the right at least 25 dB below it.
  const std::vector<float> left = Channel(heard, 0, 200 * kFramesPerMs, 300 * kFramesPerMs);
  const std::vector<float> right = Channel(heard, 1, 200 * kFramesPerMs, 300 * kFramesPerMs);
  const double level = ToneLevel(left, 1000);
  EXPECT_NEAR(level, 0.5, 0.05);
  EXPECT_LT(ToneLevel(right, 1000), level / 17.8);

  // Forced mono: both channels carry the same sum, the tone at half its level.
  const size_t monoStart = EqualChannels(heard, 0, 200 * kFramesPerMs);
  ASSERT_LT(monoStart, heard.size() / 2) << "no 200 ms of equal channels";
  EXPECT_NEAR(ToneLevel(Channel(heard, 0, monoStart, 9600), 1000), level / 2, 0.03);

  // Muted: silent no later than 100 ms after the mute (sooner, as what was queued but not yet
  // heard is dropped), and for good.
  EXPECT_LE(heard.size() / 2, static_cast<size_t>(muted - unmuted + 100) * kFramesPerMs);
  EXPECT_GE(recording.size() / 2 - LastAbove(recording, 0.001f), 200 * kFramesPerMs);

  // Mono from its time on, in programme time: that holds only while the server played every
  // frame it was given.
  if (dry > 0)
    GTEST_SKIP() << "the sound server ran dry " << dry << " times: mono's time cannot be told";
  EXPECT_GE(monoStart, 500 * kFramesPerMs);
}

}  // namespace
}  // namespace halvane::audio_test
