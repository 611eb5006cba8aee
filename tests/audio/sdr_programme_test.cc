// The stations' programmes on the SDR's synthetic air: the broadcast limiter holds an FM
// station's peak deviation to the programme's full share and reaches it on loud music, and an
// AM station plays its own programme, not the test tone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "band/band_file.h"
#include "result_codes.h"
#include "sdr/broadcast.h"
#include "sdr/sdr_tuner.h"
#include "sdr/sources/programme_feed.h"
#include "sdr/sources/synthetic_source.h"
#include "sdr/sources/transmitter.h"
#include "tone_analysis.h"

namespace halvane::audio_test {
namespace {

using driver::sdr::Complex;

constexpr double kRate = 250'000;

TEST(SdrProgramme, TheLimiterHoldsThePeakDeviationToFullAndReachesItOnLoudMusic) {
  driver::programme::Options music;
  music.style = driver::programme::Style::kRock;
  music.seed = 0x51;
  music.airS = 20;
  // The programme alone on the carrier (no pilot, no RDS), in stereo: its deviation is what the
  // limiter leaves of it.
  driver::sdr::TransmitterOptions options;
  options.sampleRate = kRate;
  options.multiplex.pilot = false;
  options.multiplex.programme = std::make_shared<driver::sdr::ProgrammeFeed>(music, 50);
  driver::sdr::Transmitter transmitter(options);
  std::vector<Complex> iq(static_cast<size_t>(kRate) * 4);
  transmitter.Generate(iq);
  // The instantaneous frequency from one sample to the next is the deviation.
  const double full = driver::sdr::kAudioShare * driver::sdr::kDeviationHz;
  double peak = 0;
  size_t atFull = 0;
  for (size_t i = 1; i < iq.size(); ++i) {
    const double hz = std::arg(iq[i] * std::conj(iq[i - 1])) * kRate / (2 * std::numbers::pi);
    peak = std::max(peak, std::fabs(hz));
    if (std::fabs(hz) > 0.999 * full) ++atFull;
  }
  EXPECT_LE(peak, full * 1.001);
  EXPECT_GE(peak, full * 0.98);
  // Held by the limiter's gain, not cut off: the programme touches full deviation only at peaks.
  EXPECT_LT(static_cast<double>(atFull) / static_cast<double>(iq.size()), 0.001);
}

class SoundSink final : public driver::audio::AudioSink {
 public:
  explicit SoundSink(std::vector<float>* sound) : sound_(sound) {}
  void Write(std::span<const float> interleaved) override {
    sound_->insert(sound_->end(), interleaved.begin(), interleaved.end());
  }
  void SetTitle(std::string_view) override {}

 private:
  std::vector<float>* sound_;
};

TEST(SdrProgramme, AnAmStationOfTheSyntheticBandPlaysItsOwnProgramme) {
  driver::DriverClock clock;
  clock.UseManual(true);
  driver::sdr::SdrConfig config;
  config.rate = static_cast<int32_t>(kRate);
  config.programmes = true;
  std::vector<float> sound;
  driver::sdr::SdrTunerParts parts;
  parts.makeSource = [config] {
    return std::make_unique<driver::sdr::SyntheticSource>(config, [] {
      driver::band::BandLoad load;
      load.band =
          *driver::band::ParseBandFile("[station Talk]\nfrequency = 999 kHz\nprogramme = music\n")
               .value;
      return load;
    });
  };
  parts.openAudio = [&sound] { return std::make_unique<SoundSink>(&sound); };
  driver::sdr::SdrTuner tuner(clock, config, 10, std::move(parts));
  ASSERT_EQ(tuner.Initialize(), driver::kOk);
  ASSERT_EQ(tuner.SetFrequency(9'990'000), driver::kOk);
  for (int ms = 0; ms < 4000; ms += 100) {
    clock.Advance(100);
    uint32_t state = 0;
    ASSERT_EQ(tuner.GetDecoderState(state), driver::kOk);
  }
  // The last 2 s, past the receiver's settling.
  ASSERT_GT(sound.size(), 2u * 48000 * 2);
  const std::vector<float> left = Channel(sound, 0, sound.size() / 2 - 2 * 48000, 2 * 48000);
  EXPECT_GT(Rms(left), 0.03);
  EXPECT_LT(StrongestLineShare(left), 0.4);                          // music, not the test tone
  EXPECT_LT(SideShare(std::span(sound).last(2 * 48000 * 2)), 1e-6);  // AM is mono
}

}  // namespace
}  // namespace halvane::audio_test
