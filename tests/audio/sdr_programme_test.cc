// The stations' programmes on the SDR's synthetic air: the broadcast limiter holds an FM
// station's peak deviation to the programme's full share and reaches it on loud music, a
// station's traffic news takes its music's place while its TA says so, and an AM station plays
// its own programme, not the test tone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <span>
#include <string>

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

// The sound of `frequency` on the synthetic band made of `band`, each station with its own
// programme, for `ms` from the radio's start.
std::vector<float> Hear(const std::string& band, int32_t frequency, int ms) {
  driver::DriverClock clock;
  clock.UseManual(true);
  driver::sdr::SdrConfig config;
  config.rate = static_cast<int32_t>(kRate);
  config.programmes = true;
  std::vector<float> sound;
  driver::sdr::SdrTunerParts parts;
  parts.makeSource = [config, band] {
    return std::make_unique<driver::sdr::SyntheticSource>(config, [band] {
      driver::band::BandLoad load;
      load.band =
          driver::band::ParseBandFile(band).value.value();  // a band the test got wrong throws
      return load;
    });
  };
  parts.openAudio = [&sound] { return std::make_unique<SoundSink>(&sound); };
  driver::sdr::SdrTuner tuner(clock, config, 10, std::move(parts));
  EXPECT_EQ(tuner.Initialize(), driver::kOk);
  EXPECT_EQ(tuner.SetFrequency(frequency), driver::kOk);
  for (int at = 0; at < ms; at += 100) {
    clock.Advance(100);
    uint32_t state = 0;
    EXPECT_EQ(tuner.GetDecoderState(state), driver::kOk);
  }
  return sound;
}

// Frames [fromS, toS) of `sound`.
std::span<const float> Between(const std::vector<float>& sound, double fromS, double toS) {
  const auto frame = [](double s) { return static_cast<size_t>(s * 48000) * 2; };
  return std::span(sound).subspan(frame(fromS), frame(toS) - frame(fromS));
}

TEST(SdrProgramme, AnFmStationsTrafficNewsTakesThePlaceOfItsMusicOnItsSchedule) {
  // Off for 3 s from the radio's start, then on for 3 s.
  const std::vector<float> sound = Hear(
      "[station Road]\nfrequency = 90.0 MHz\npi = 2222\ntp = yes\nta = toggle\nta_period = 3\n"
      "ps = \"ROAD FM \"\nprogramme = music\nrt = Road FM traffic: jams on the ring road\n",
      90'000'000, 6000);
  ASSERT_GE(sound.size(), static_cast<size_t>(6 * 48000 * 2));
  const double music = SideShare(Between(sound, 1.5, 2.9));
  const double news = SideShare(Between(sound, 3.5, 5.9));
  EXPECT_GT(music, 0.005);      // the band spread over the stage
  EXPECT_LT(news, music / 20);  // a voice in the middle
  EXPECT_GT(Rms(Channel(Between(sound, 3.5, 5.9), 0, 0, 2 * 48000)), 0.02);
}

TEST(SdrProgramme, AnAmStationOfTheSyntheticBandPlaysItsOwnProgramme) {
  const std::vector<float> sound =
      Hear("[station Talk]\nfrequency = 990 kHz\nprogramme = music\n", 9'900'000, 4000);
  // The last 2 s, past the receiver's settling.
  ASSERT_GT(sound.size(), 2u * 48000 * 2);
  const std::vector<float> left = Channel(sound, 0, sound.size() / 2 - 2 * 48000, 2 * 48000);
  EXPECT_GT(Rms(left), 0.03);
  EXPECT_LT(StrongestLineShare(left), 0.4);                          // music, not the test tone
  EXPECT_LT(SideShare(std::span(sound).last(2 * 48000 * 2)), 1e-6);  // AM is mono
}

}  // namespace
}  // namespace halvane::audio_test
