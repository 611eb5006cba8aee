// Following the programme on the SDR tuner: three transmitters inside the captured span (two of
// the programme, one of another programme listed as an alternative), the tuned one fading. The
// alternatives are measured on the same samples, so the sound never stops. And out of a tunnel:
// the tuned station gone, the programme is searched by its PI beyond the span.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "audio/audio_sink.h"
#include "result_codes.h"
#include "sdr/sdr_tuner.h"
#include "sdr/transmitter.h"
#include "sdr_test_support.h"

namespace halvane::driver::sdr {
namespace {

constexpr double kRate = 1'024'000;
constexpr int64_t kCentreHz = 88'000'000;
constexpr int32_t kA = 87'700'000;      // the programme 5C11, fading from 2 s
constexpr int32_t kOther = 88'000'000;  // another programme (7777), listed, strongest of all
constexpr int32_t kB = 88'300'000;      // the programme 5C11
constexpr double kFadeAtS = 2;

struct OnAir {
  int32_t frequency;
  uint16_t pi;
  float gain;       // of the carrier; noise at 40 dB below a carrier of 1
  float fadedGain;  // from kFadeAtS on
};
constexpr std::array<OnAir, 3> kNetwork = {{
    {kA, 0x5C11, 1.0f, 0.04f},  // 40 dB, then 12 dB (level 12)
    {kOther, 0x7777, 1.0f, 1.0f},
    {kB, 0x5C11, 0.5f, 0.5f},  // 34 dB (level 1)
}};

// The span as a dongle centred on 88.0 MHz would capture it, paced by the driver's clock.
class NetworkSource final : public IqSource {
 public:
  NetworkSource() : noise_(NoiseSource::SigmaFor(1.0, 40, kRate), 3) {
    for (const OnAir& station : kNetwork) {
      TransmitterOptions options;
      options.multiplex.rds = testing_support::TestProgramme();
      options.multiplex.rds->pi = station.pi;
      for (const OnAir& other : kNetwork) {
        if (other.frequency != station.frequency) {
          options.multiplex.rds->alternativeFrequencies.push_back(other.frequency);
        }
      }
      options.sampleRate = kRate;
      options.carrierOffsetHz = static_cast<double>(station.frequency - kCentreHz);
      options.seed = station.frequency;
      transmitters_.push_back(std::make_unique<Transmitter>(options));
    }
  }
  int32_t Open(int64_t nowMs) override {
    lastMs_ = nowMs;
    return kOk;
  }
  void Close() override {}
  double SampleRate() const override { return kRate; }
  int32_t Tune(int64_t frequencyHz, int64_t, std::optional<double>& offsetHz) override {
    offsetHz = static_cast<double>(frequencyHz - kCentreHz);
    if (std::abs(*offsetHz) > kRate / 2) offsetHz.reset();
    return kOk;
  }
  int32_t ReadDue(int64_t nowMs, std::vector<Complex>& out) override {
    const auto count = static_cast<size_t>((nowMs - lastMs_) * static_cast<int64_t>(kRate) / 1000);
    lastMs_ = nowMs;
    return ReadNow(count, out);
  }
  int32_t ReadNow(size_t count, std::vector<Complex>& out) override {
    const size_t start = out.size();
    out.resize(start + count);
    for (size_t i = 0; i < count; ++i) out[start + i] = noise_.Next();
    std::vector<Complex> one(count);
    for (size_t s = 0; s < kNetwork.size(); ++s) {
      transmitters_[s]->Generate(one);
      for (size_t i = 0; i < count; ++i) {
        const bool faded = static_cast<double>(sent_ + i) / kRate >= kFadeAtS;
        out[start + i] += one[i] * (faded ? kNetwork[s].fadedGain : kNetwork[s].gain);
      }
    }
    sent_ += count;
    return kOk;
  }

 private:
  std::vector<std::unique_ptr<Transmitter>> transmitters_;
  NoiseSource noise_;
  int64_t lastMs_ = 0;
  uint64_t sent_ = 0;
};

class CountingSink final : public audio::AudioSink {
 public:
  explicit CountingSink(std::vector<float>* sound) : sound_(sound) {}
  void Write(std::span<const float> interleaved) override {
    sound_->insert(sound_->end(), interleaved.begin(), interleaved.end());
  }
  void SetTitle(std::string_view) override {}
  void Hush() override {}

 private:
  std::vector<float>* sound_;
};

TEST(SdrAfFollow, MovesToTheStrongerTransmitterOfTheProgrammeWithoutAGap) {
  DriverClock clock;
  clock.UseManual(true);
  std::vector<float> sound;
  SdrConfig config;
  config.rate = static_cast<int32_t>(kRate);
  SdrTunerParts parts;
  parts.makeSource = [] { return std::make_unique<NetworkSource>(); };
  parts.openAudio = [&sound] { return std::make_unique<CountingSink>(&sound); };
  SdrTuner tuner(clock, config, 10, std::move(parts));
  ASSERT_EQ(tuner.Initialize(), kOk);
  ASSERT_EQ(tuner.SetFrequency(kA), kOk);
  ASSERT_EQ(tuner.StartRds(), kOk);

  std::vector<int32_t> played = {kA};
  constexpr int kPlayMs = 5000;
  for (int t = 0; t < kPlayMs; t += 100) {
    clock.Advance(100);
    uint32_t state = 0;
    ASSERT_EQ(tuner.GetDecoderState(state), kOk);
    int32_t frequency = 0;
    ASSERT_EQ(tuner.GetFrequency(frequency), kOk);
    if (frequency != played.back()) played.push_back(frequency);
  }
  EXPECT_EQ(played, (std::vector<int32_t>{kA, kB}));
  EXPECT_EQ(tuner.followStatistics().switches, 1);
  EXPECT_EQ(tuner.followStatistics().silentMs, 0);
  // Every millisecond was heard: 48 stereo frames a millisecond, less the chain's start.
  EXPECT_GE(sound.size() / 2, static_cast<size_t>(48 * (kPlayMs - 50)));
  RdsRecord record{};
  ASSERT_EQ(tuner.EvalData(record), kOk);
  EXPECT_EQ(record.pi, 0x5C11);
}

// Out of the tunnel: the tuned transmitter goes off the air; its alternatives lie beyond the span
// a dongle centred on the tuned frequency captures, one of another programme, one of the
// programme that comes on the air only later. The source's centre follows its tuning.
namespace tunnel {

constexpr int32_t kLost = 87'700'000;   // the programme 5C11, off the air from 2 s
constexpr int32_t kRival = 88'500'000;  // another programme (7777), listed, strong throughout
constexpr int32_t kFar = 90'100'000;    // the programme 5C11, on the air from 5 s
constexpr double kLostAtS = 2;
constexpr double kFarFromS = 5;

struct OnAir {
  int32_t frequency;
  uint16_t pi;
  float gain;
  double fromS;
  double untilS;
};
constexpr std::array<OnAir, 3> kStations = {{
    {kLost, 0x5C11, 1.0f, 0, kLostAtS},
    {kRival, 0x7777, 1.0f, 0, 1e9},
    {kFar, 0x5C11, 0.5f, kFarFromS, 1e9},
}};

class RoamingSource final : public IqSource {
 public:
  RoamingSource() : noise_(NoiseSource::SigmaFor(1.0, 40, kRate), 5) {}
  int32_t Open(int64_t nowMs) override {
    lastMs_ = nowMs;
    return kOk;
  }
  void Close() override {}
  double SampleRate() const override { return kRate; }
  int32_t Tune(int64_t frequencyHz, int64_t, std::optional<double>& offsetHz) override {
    ++tunes_;
    heard_.clear();
    for (const OnAir& station : kStations) {
      const double offset = static_cast<double>(station.frequency - frequencyHz);
      if (std::abs(offset) > kRate / 2 - 100'000) continue;
      TransmitterOptions options;
      options.multiplex.rds = testing_support::TestProgramme();
      options.multiplex.rds->pi = station.pi;
      options.multiplex.rds->alternativeFrequencies = {kRival, kFar};
      options.sampleRate = kRate;
      options.carrierOffsetHz = offset;
      options.seed = station.frequency;
      heard_.push_back({&station, std::make_unique<Transmitter>(options)});
    }
    offsetHz = 0.0;
    return kOk;
  }
  int32_t ReadDue(int64_t nowMs, std::vector<Complex>& out) override {
    const auto count = static_cast<size_t>((nowMs - lastMs_) * static_cast<int64_t>(kRate) / 1000);
    lastMs_ = nowMs;
    return ReadNow(count, out);
  }
  int32_t ReadNow(size_t count, std::vector<Complex>& out) override {
    const size_t start = out.size();
    out.resize(start + count);
    for (size_t i = 0; i < count; ++i) out[start + i] = noise_.Next();
    std::vector<Complex> one(count);
    for (Heard& heard : heard_) {
      heard.transmitter->Generate(one);
      for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(sent_ + i) / kRate;
        const bool on = t >= heard.station->fromS && t < heard.station->untilS;
        out[start + i] += one[i] * (on ? heard.station->gain : 0.0f);
      }
    }
    sent_ += count;
    return kOk;
  }
  int tunes() const { return tunes_; }

 private:
  struct Heard {
    const OnAir* station;
    std::unique_ptr<Transmitter> transmitter;
  };
  std::vector<Heard> heard_;
  NoiseSource noise_;
  int64_t lastMs_ = 0;
  uint64_t sent_ = 0;
  int tunes_ = 0;
};

}  // namespace tunnel

TEST(SdrAfFollow, FindsTheProgrammeBeyondTheSpanAfterALossAndNeverAnother) {
  DriverClock clock;
  clock.UseManual(true);
  std::vector<float> sound;
  SdrConfig config;
  config.rate = static_cast<int32_t>(kRate);
  SdrTunerParts parts;
  const tunnel::RoamingSource* source = nullptr;
  parts.makeSource = [&source] {
    auto made = std::make_unique<tunnel::RoamingSource>();
    source = made.get();
    return made;
  };
  parts.openAudio = [&sound] { return std::make_unique<CountingSink>(&sound); };
  SdrTuner tuner(clock, config, 10, std::move(parts));
  ASSERT_EQ(tuner.Initialize(), kOk);
  ASSERT_EQ(tuner.SetFrequency(tunnel::kLost), kOk);
  ASSERT_EQ(tuner.StartRds(), kOk);

  std::vector<int32_t> played = {tunnel::kLost};
  int tunesBeforeFar = 0;
  for (int t = 0; t < 10'000; t += 100) {
    clock.Advance(100);
    uint32_t state = 0;
    ASSERT_EQ(tuner.GetDecoderState(state), kOk);
    int32_t frequency = 0;
    ASSERT_EQ(tuner.GetFrequency(frequency), kOk);
    if (frequency != played.back()) played.push_back(frequency);
    if (t + 100 == static_cast<int>(tunnel::kFarFromS * 1000)) {
      // A round was made while the programme was nowhere: the rival refused, the tuner back.
      EXPECT_EQ(tuner.followStatistics().rounds, 1);
      tunesBeforeFar = source->tunes();
    }
  }
  EXPECT_EQ(played, (std::vector<int32_t>{tunnel::kLost, tunnel::kFar}));
  // Past the first two tunings, the first round retuned the source to both alternatives and a
  // round of band channels, and back.
  EXPECT_EQ(tunesBeforeFar, 2 + 2 + static_cast<int>(rds::kAfSearchChannelsPerRound) + 1);
  EXPECT_EQ(tuner.followStatistics().switches, 1);
  EXPECT_GT(tuner.followStatistics().searchMs, 0);
  RdsRecord record{};
  ASSERT_EQ(tuner.EvalData(record), kOk);
  EXPECT_EQ(record.pi, 0x5C11);
}

}  // namespace
}  // namespace halvane::driver::sdr
