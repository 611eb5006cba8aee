// The simulated tuner's sound, recorded at its sink on a held clock: a weak station is noisier
// and narrower than a strong one, mute and volume act on it, and a move to another transmitter
// of the programme goes on with the programme without a gap. The default band's music through
// a PulseAudio daemon of the test's own is stereo and no single tone.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "band/band_file.h"
#include "driver_clock.h"
#include "halvane/driver_contract.h"
#include "programme/station_programme.h"
#include "pulse_daemon.h"
#include "sim/sim_tuner.h"
#include "test_hooks.h"
#include "tone_analysis.h"

extern "C" {
int32_t radioInitialize(void);
int32_t radioUninitialize(void);
int32_t VolumeMute(int32_t, int32_t);
int32_t radioSetFrequency(int32_t, int32_t);
int32_t radioGetFrequency(int32_t, int32_t*);
}

namespace halvane::audio_test {
namespace {

using driver::DriverClock;
using driver::sim::SimTuner;

constexpr size_t kFramesPerMs = 48;

class RecordingSink final : public driver::audio::AudioSink {
 public:
  explicit RecordingSink(std::vector<float>& into) : into_(into) {}
  void Write(std::span<const float> interleaved) override {
    into_.insert(into_.end(), interleaved.begin(), interleaved.end());
  }
  void SetTitle(std::string_view) override {}

 private:
  std::vector<float>& into_;
};

constexpr const char* kBand = R"ini(
[station Strong Tone]
frequency = 89.3 MHz
level = 1
programme = tone
[station Weak Tone]
frequency = 91.2 MHz
level = 12
programme = tone
[station Strong Rock]
frequency = 97.1 MHz
level = 0
pi = 4B2A
pty = rock
[station Weak Rock]
frequency = 99.9 MHz
level = 12
pi = 4B2B
pty = rock
[station Fading]
frequency = 101.4 MHz
pi = 7B0B
pty = jazz
route = 0:1, 2:12
af = 104.5 MHz
[station Other Transmitter]
frequency = 104.5 MHz
level = 1
pi = 7B0B
pty = jazz
af = 101.4 MHz
)ini";

class SimSoundTest : public ::testing::Test {
 protected:
  SimSoundTest()
      : tuner_(
            clock_,
            [] {
              return driver::band::BandLoad{Band(), 0, {}};
            },
            true, [this] { return std::make_unique<RecordingSink>(heard_); }) {
    clock_.UseManual(true);
    EXPECT_EQ(tuner_.Initialize(), 0);
  }
  static driver::band::Band Band() { return *driver::band::ParseBandFile(kBand).value; }
  // Plays `ms` more as the plug-in polls: every 100 ms the frequency, the decoder, the record.
  void Poll(int64_t ms) {
    for (int64_t done = 0; done < ms; done += 100) {
      clock_.Advance(100);
      int32_t frequency = 0;
      uint32_t state = 0;
      RdsRecord record{};
      tuner_.GetFrequency(frequency);
      tuner_.GetDecoderState(state);
      tuner_.EvalData(record);
    }
  }
  // What was heard from frame `from` on, as one channel.
  std::vector<float> Left(size_t from) const {
    return Channel(heard_, 0, from, heard_.size() / 2 - from);
  }
  size_t Frames() const { return heard_.size() / 2; }

  DriverClock clock_;
  std::vector<float> heard_;
  SimTuner tuner_;
};

// The tone's residue: what is heard besides the 1 kHz tone.
double Hiss(std::span<const float> samples) {
  const double tone = ToneAmplitude(samples, 1000);
  return std::sqrt(std::max(0.0, Rms(samples) * Rms(samples) - tone * tone / 2));
}

TEST_F(SimSoundTest, AWeakStationIsNoisierAndNarrowerThanAStrongOne) {
  const auto measure = [&](int32_t frequency) {
    tuner_.SetFrequency(frequency);
    const size_t from = Frames() + 100 * kFramesPerMs;  // past the programme's start
    Poll(1100);
    return std::vector<float>(heard_.begin() + 2 * static_cast<ptrdiff_t>(from), heard_.end());
  };
  const std::vector<float> strongTone = measure(89'300'000);
  const std::vector<float> weakTone = measure(91'200'000);
  const double strongHiss = Hiss(Channel(strongTone, 0, 0, strongTone.size() / 2));
  const double weakHiss = Hiss(Channel(weakTone, 0, 0, weakTone.size() / 2));
  EXPECT_GT(weakHiss, 0.01);     // about -32 dB under full scale: plainly heard
  EXPECT_LT(strongHiss, 0.001);  // under -60 dB: nothing heard
  EXPECT_GT(SideShare(measure(97'100'000)), 0.005);
  EXPECT_EQ(SideShare(measure(99'900'000)), 0.0);  // blended to mono
}

TEST_F(SimSoundTest, MuteAndVolumeActOnTheProgramme) {
  tuner_.SetFrequency(89'300'000);
  Poll(300);
  EXPECT_NEAR(ToneLevel(Left(Frames() - 9600), 1000), 0.5, 0.01);
  tuner_.SetVolume(0.125f);  // 50 % on the volume keys
  Poll(300);
  EXPECT_NEAR(ToneLevel(Left(Frames() - 9600), 1000), 0.0625, 0.002);
  tuner_.SetMute(true);
  const size_t muted = Frames() + 10 * kFramesPerMs;  // after the mute's ramp
  Poll(300);
  EXPECT_EQ(Rms(Left(muted)), 0.0);
  tuner_.SetMute(false);
  Poll(300);
  EXPECT_NEAR(ToneLevel(Left(Frames() - 9600), 1000), 0.0625, 0.002);
}

TEST_F(SimSoundTest, AMoveToAnotherTransmitterGoesOnWithTheProgrammeWithoutAGap) {
  tuner_.StartRds();
  tuner_.SetFrequency(101'400'000);
  Poll(6000);
  ASSERT_EQ(tuner_.followStatistics().switches, 1);
  int32_t frequency = 0;
  tuner_.GetFrequency(frequency);
  EXPECT_EQ(frequency, 104'500'000);
  // Every millisecond was played, and nothing fell silent but the checks' mutes.
  EXPECT_EQ(Frames(), 6000 * kFramesPerMs);
  size_t longestSilence = 0;
  for (size_t f = 0, run = 0; f < Frames(); ++f) {
    run = heard_[2 * f] == 0.0f && heard_[2 * f + 1] == 0.0f ? run + 1 : 0;
    longestSilence = std::max(longestSilence, run);
  }
  EXPECT_LE(longestSilence,
            static_cast<size_t>(tuner_.followStatistics().longestSilentMs) * kFramesPerMs);
  // The last second is the programme as it went on from its first frame, the switch inside it.
  const driver::band::Band band = Band();
  const std::unique_ptr<driver::programme::Programme> programme =
      driver::programme::MakeProgramme(driver::programme::ProgrammeFor(band.stations[4], 0));
  std::vector<float> sent(heard_.size());
  programme->Render(sent);
  const size_t from = Frames() - 1000 * kFramesPerMs;
  float largest = 0;
  for (size_t i = 2 * from; i < heard_.size(); ++i)
    largest = std::max(largest, std::fabs(heard_[i] - sent[i]));
  EXPECT_LT(largest, 0.005f);
  EXPECT_GT(Rms(Left(from)), 0.03);
}

TEST(SimSound, TheDefaultBandsMusicIsHeardInStereoAndIsNoSingleTone) {
  PulseDaemon daemon;
  ASSERT_TRUE(daemon.ready());
  unsetenv("HALVANE_TUNER_CONFIG");
  unsetenv("HALVANE_STATIONS");
  HalvaneSimReset();
  HalvaneSimUseManualClock(1);
  ASSERT_EQ(radioInitialize(), 0);
  radioSetFrequency(0, 104'500'000);  // Jazz 104
  VolumeMute(0, 0);
  MonitorRecorder recorder(daemon);
  ASSERT_TRUE(WaitUntil([&] { return recorder.frames() > 0; }));
  // The clock a little ahead of what the server has played, so neither side starves.
  const size_t start = recorder.frames();
  for (int64_t now = 0; now < 2500; now += 20) {
    WaitUntil([&] { return now <= static_cast<int64_t>((recorder.frames() - start) / 48) + 200; });
    HalvaneSimAdvanceClock(20);
    int32_t frequency = 0;
    radioGetFrequency(0, &frequency);
  }
  radioUninitialize();
  const std::vector<float> heard = WithoutGaps(recorder.Finish(), 4800);
  ASSERT_GT(heard.size(), 2 * 48000u);
  const std::vector<float> last(heard.end() - 2 * 48000, heard.end());
  EXPECT_GT(Rms(Channel(last, 0, 0, 48000)), 0.02);
  EXPECT_LT(StrongestLineShare(Channel(last, 0, 0, 48000)), 0.4);
  EXPECT_GT(SideShare(last), 0.005);
}

}  // namespace
}  // namespace halvane::audio_test
