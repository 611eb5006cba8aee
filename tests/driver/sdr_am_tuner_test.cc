// The SDR tuner on the AM band: a recording of the band plays its station, a seek walks the
// region's raster and stops on the synthetic band's stations alone, and a device with no way to
// the band refuses it with its code and reason and plays FM on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "band/band_file.h"
#include "last_reason.h"
#include "result_codes.h"
#include "sdr/am_band.h"
#include "sdr/sdr_tuner.h"
#include "sdr/sources/am_access.h"
#include "sdr/sources/am_transmitter.h"
#include "sdr/sources/file_source.h"
#include "sdr/sources/sample_format.h"
#include "sdr/sources/synthetic_source.h"
#include "sdr_test_support.h"

namespace halvane::driver::testing_support {
namespace {

constexpr int32_t Khz(int32_t khz) { return khz * 10'000; }

class SoundSink final : public audio::AudioSink {
 public:
  explicit SoundSink(std::vector<float>* sound) : sound_(sound) {}
  void Write(std::span<const float> interleaved) override {
    sound_->insert(sound_->end(), interleaved.begin(), interleaved.end());
  }
  void SetTitle(std::string_view) override {}
  void Hush() override {}

 private:
  std::vector<float>* sound_;
};

// A dongle whose tuner starts at 24 MHz, with neither direct sampling nor an upconverter.
class FmOnlyDongle final : public sdr::IqSource {
 public:
  int32_t Open(int64_t) override { return kOk; }
  void Close() override {}
  double SampleRate() const override { return kTestRate; }
  int32_t Tune(int64_t frequencyHz, int64_t, std::optional<double>& offsetHz) override {
    if (!sdr::DeviceTuningFor(frequencyHz, 0, false)) return sdr::NoAm("the test dongle");
    offsetHz = 0.0;
    return kOk;
  }
  int32_t ReadDue(int64_t, std::vector<sdr::Complex>& out) override { return ReadNow(2500, out); }
  int32_t ReadNow(size_t count, std::vector<sdr::Complex>& out) override {
    out.resize(out.size() + count, sdr::Complex{1e-3f, 0});
    return kOk;
  }
};

class SdrAmTunerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.UseManual(true);
    config_.rate = static_cast<int32_t>(kTestRate);
  }

  std::unique_ptr<sdr::SdrTuner> Tuner(std::function<std::unique_ptr<sdr::IqSource>()> source) {
    sdr::SdrTunerParts parts;
    parts.makeSource = std::move(source);
    parts.openAudio = [this] { return std::make_unique<SoundSink>(&sound_); };
    return std::make_unique<sdr::SdrTuner>(clock_, config_, 10, std::move(parts));
  }

  void Play(sdr::SdrTuner& tuner, int ms) {
    for (int t = 0; t < ms; t += 100) {
      clock_.Advance(100);
      uint32_t state = 0;
      ASSERT_EQ(tuner.GetDecoderState(state), kOk);
    }
  }

  DriverClock clock_;
  sdr::SdrConfig config_;
  std::vector<float> sound_;
};

TEST_F(SdrAmTunerTest, ARecordingOfTheAmBandPlaysItsStationsTone) {
  sdr::AmTransmitterOptions options;
  options.tone.hz = 700;
  options.sampleRate = kTestRate;
  options.carrierOffsetHz = 40'000;  // 1040 kHz in a recording centred on 1000 kHz
  options.cnrDb = 40;
  options.amplitude = 0.3f;
  sdr::AmTransmitter transmitter(options);
  std::vector<sdr::Complex> iq(static_cast<size_t>(kTestRate * 3));
  transmitter.Generate(iq);
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("am_band_" + std::to_string(getpid()) + ".cf32");
  const std::vector<uint8_t> bytes = sdr::EncodeSamples(sdr::SampleFormat::Cf32, iq);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  auto tuner = Tuner([&] {
    return std::make_unique<sdr::FileSource>(path.string(), sdr::SampleFormat::Cf32, kTestRate,
                                             1'000'000);
  });
  ASSERT_EQ(tuner->Initialize(), kOk) << LastReason();
  ASSERT_EQ(tuner->SetFrequency(Khz(1040)), kOk);
  ASSERT_EQ(tuner->StartRds(), kOk);
  Play(*tuner, 2000);
  uint8_t flags = 0;
  ASSERT_EQ(tuner->GetState(flags), kOk);
  EXPECT_EQ(flags & (kStateStation | kStateStereo), kStateStation);
  uint32_t state = 0;
  ASSERT_EQ(tuner->GetDecoderState(state), kOk);
  EXPECT_LE(state & 0x0F, 3u);
  RdsRecord record{};
  EXPECT_EQ(tuner->EvalData(record), kRdsNoData);
  int32_t frequency = 0;
  ASSERT_EQ(tuner->GetFrequency(frequency), kOk);
  EXPECT_EQ(frequency, Khz(1040));
  // The tone carries the sound: at least 30 dB above everything else of the last second.
  const std::vector<float> last(sound_.end() - 2 * 48'000, sound_.end());
  double total = 0;
  for (size_t i = 0; i < last.size(); i += 2) total += last[i] * last[i];
  total /= 48'000;
  const double tone = 2 * TonePower(last, 0, 700, 0);
  EXPECT_GT(tone, 1000 * (total - tone));
  EXPECT_GT(tone, 0.01);
  std::filesystem::remove(path);
}

TEST_F(SdrAmTunerTest, SeekOnAmStopsOnTheBandsStationsAndNowhereElse) {
  // 900 kHz is strong: its neighbours' channels hear its edges, and no seek stops there.
  constexpr const char* kBand = R"(
[station Harbour AM]
frequency = 600 kHz
level = 3
[station Loud AM]
frequency = 900 kHz
level = 0
[station Metro AM]
frequency = 1040 kHz
level = 6
)";
  config_.amStepKhz = 10;  // the band's raster, whatever the machine's locale
  const sdr::SdrConfig config = config_;
  auto tuner = Tuner([config] {
    return std::make_unique<sdr::SyntheticSource>(config, [] {
      band::BandLoad load;
      load.band = *band::ParseBandFile(kBand).value;
      return load;
    });
  });
  ASSERT_EQ(tuner->Initialize(), kOk);
  int32_t frequency = Khz(530);
  for (const int32_t khz : {600, 900, 1040}) {
    ASSERT_EQ(tuner->Search(frequency, true), kOk);
    EXPECT_EQ(frequency, Khz(khz));
  }
  ASSERT_EQ(tuner->Search(frequency, true), HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(frequency, Khz(1710));
  ASSERT_EQ(tuner->Search(frequency, false), kOk);
  EXPECT_EQ(frequency, Khz(1040));
}

TEST(SdrAmBand, ASeekWalksTheRegionsRaster) {
  struct Case {
    int32_t fromKhz;
    bool up;
    int stepKhz;
    std::optional<int32_t> nextKhz;
  };
  const Case cases[] = {
      {530, true, 10, 540},
      {1040, false, 10, 1030},
      {1710, true, 10, std::nullopt},
      {530, false, 10, std::nullopt},
      {530, true, 9, 531},
      {531, true, 9, 540},
      {600, true, 9, 603},
      {600, false, 9, 594},
      {1602, true, 9, std::nullopt},
      {1710, false, 9, 1602},
  };
  for (const Case& c : cases) {
    const std::optional<int32_t> next =
        sdr::NextAmChannel(Khz(c.fromKhz), c.up, sdr::AmPlanFor(c.stepKhz));
    EXPECT_EQ(next, c.nextKhz ? std::optional(Khz(*c.nextKhz)) : std::nullopt)
        << c.fromKhz << (c.up ? " up" : " down") << " on " << c.stepKhz << " kHz";
  }
}

TEST_F(SdrAmTunerTest, ADeviceWithNoWayToAmRefusesItWithAReasonAndPlaysFmOn) {
  auto tuner = Tuner([] { return std::make_unique<FmOnlyDongle>(); });
  ASSERT_EQ(tuner->Initialize(), kOk);
  ASSERT_EQ(tuner->SetFrequency(95'800'000), kOk);
  EXPECT_EQ(tuner->SetFrequency(Khz(1040)), kSdrNoAm);
  EXPECT_NE(LastReason().find("direct sampling"), std::string_view::npos);
  EXPECT_NE(LastReason().find("upconverter = 125 MHz"), std::string_view::npos);
  int32_t frequency = Khz(600);
  EXPECT_EQ(tuner->Search(frequency, true), kSdrNoAm);
  ASSERT_EQ(tuner->GetFrequency(frequency), kOk);
  EXPECT_EQ(frequency, 95'800'000);
  EXPECT_EQ(tuner->SetFrequency(98'000'000), kOk);
  Play(*tuner, 300);
}

}  // namespace
}  // namespace halvane::driver::testing_support
