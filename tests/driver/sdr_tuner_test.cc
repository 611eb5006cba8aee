// The SDR tuner as the driver's exports drive it: the synthetic band and recordings on the
// manual clock, sound into a capturing sink, and every failure with its code and reason.
#include "sdr/sdr_tuner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "band/band_file.h"
#include "last_reason.h"
#include "result_codes.h"
#include "sdr/sources/file_source.h"
#include "sdr/sources/sample_format.h"
#include "sdr/sources/soapy_source.h"
#include "sdr/sources/synthetic_source.h"
#include "sdr_test_support.h"

namespace halvane::driver::testing_support {
namespace {

using sdr::SdrConfig;
using sdr::SdrTuner;

constexpr const char* kBand = R"(
[station strong]
frequency = 88.0 MHz
pi = D3C2
ps = SDR TEST
rt = Received through the transmitter model
pty = 10
tp = yes
ta = yes
[station faint]
frequency = 90.0 MHz
level = 14
)";

class CaptureSink final : public audio::AudioSink {
 public:
  CaptureSink(std::vector<float>* sound, int* hushes) : sound_(sound), hushes_(hushes) {}
  void Write(std::span<const float> interleaved) override {
    sound_->insert(sound_->end(), interleaved.begin(), interleaved.end());
  }
  void SetTitle(std::string_view) override {}
  void Hush() override { ++*hushes_; }

 private:
  std::vector<float>* sound_;
  int* hushes_;
};

class SdrTunerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.UseManual(true);
    folder_ = std::filesystem::temp_directory_path() /
              ("sdr_tuner_test_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    config_.rate = static_cast<int32_t>(kTestRate);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  sdr::SdrTunerParts Parts(std::function<std::unique_ptr<sdr::IqSource>()> makeSource) {
    sdr::SdrTunerParts parts;
    parts.makeSource = std::move(makeSource);
    parts.openAudio = [this] { return std::make_unique<CaptureSink>(&sound_, &hushes_); };
    return parts;
  }

  std::unique_ptr<SdrTuner> Synthetic() {
    const SdrConfig config = config_;
    return std::make_unique<SdrTuner>(clock_, config, 10, Parts([config] {
                                        return std::make_unique<sdr::SyntheticSource>(config, [] {
                                          band::BandLoad load;
                                          load.band = *band::ParseBandFile(kBand).value;
                                          return load;
                                        });
                                      }));
  }

  std::unique_ptr<SdrTuner> Recording(const std::string& path) {
    const SdrConfig config = config_;
    return std::make_unique<SdrTuner>(clock_, config, 10, Parts([config, path] {
                                        return std::make_unique<sdr::FileSource>(
                                            path, config.format, config.rate, 88'000'000);
                                      }));
  }

  void Play(SdrTuner& tuner, int ms) {
    for (int t = 0; t < ms; t += 100) {
      clock_.Advance(100);
      uint32_t state = 0;
      ASSERT_EQ(tuner.GetDecoderState(state), kOk);
    }
  }

  // Tunes to 88.0 MHz with RDS on, plays `ms` and expects the strong station's RDS and stereo.
  void ExpectTestStation(SdrTuner& tuner, int ms) {
    ASSERT_EQ(tuner.SetFrequency(88'000'000), kOk);
    ASSERT_EQ(tuner.StartRds(), kOk);
    Play(tuner, ms);
    RdsRecord record{};
    ASSERT_EQ(tuner.EvalData(record), kOk);
    EXPECT_EQ(Text(record.ps, 8), "SDR TEST");
    EXPECT_EQ(Text(record.rt, 38), "Received through the transmitter model");
    EXPECT_EQ(record.pty, 10);
    EXPECT_EQ(record.tp, 1);
    EXPECT_EQ(record.ta, 1);
    uint8_t flags = 0;
    ASSERT_EQ(tuner.GetState(flags), kOk);
    EXPECT_EQ(flags & (kStateStation | kStateStereo), kStateStation | kStateStereo);
  }

  std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  DriverClock clock_;
  SdrConfig config_;
  std::vector<float> sound_;
  int hushes_ = 0;
  std::filesystem::path folder_;
};

TEST_F(SdrTunerTest, ReceivesTheSyntheticStationThroughAnImpairedChannel) {
  config_.cnrDb = 20;
  config_.carrierOffsetHz = 2000;
  config_.clockPpm = 100;
  auto tuner = Synthetic();
  ASSERT_EQ(tuner->Initialize(), kOk);
  ExpectTestStation(*tuner, 3000);
  uint32_t state = 0;
  ASSERT_EQ(tuner->GetDecoderState(state), kOk);
  EXPECT_LE(state & 0x0F, 9u);  // 20 dB: a fair level, short of the best
  EXPECT_GE(state & 0x0F, 6u);
  EXPECT_GT(sound_.size(), 48000u * 2 * 2);  // the programme played all along
}

TEST_F(SdrTunerTest, SearchStopsOnAStationAboveTheThresholdAndEndsAtTheBandEdge) {
  auto tuner = Synthetic();
  ASSERT_EQ(tuner->Initialize(), kOk);
  int32_t frequency = 87'500'000;
  ASSERT_EQ(tuner->Search(frequency, true), kOk);
  EXPECT_EQ(frequency, 88'000'000);
  // The faint station at 90.0 MHz is below the threshold: on to the band's end.
  ASSERT_EQ(tuner->Search(frequency, true), HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(frequency, 108'000'000);
  ASSERT_EQ(tuner->Search(frequency, false), kOk);
  EXPECT_EQ(frequency, 88'000'000);
}

TEST_F(SdrTunerTest, MuteIsHeardAtOnceAndForcedMonoSumsTheChannels) {
  config_.toneRight = false;  // the tone on the left only
  auto tuner = Synthetic();
  ASSERT_EQ(tuner->Initialize(), kOk);
  ASSERT_EQ(tuner->SetFrequency(88'000'000), kOk);
  Play(*tuner, 500);
  ASSERT_EQ(tuner->SetForceMono(true), kOk);
  sound_.clear();
  Play(*tuner, 200);
  // After the stage's 10 ms crossfade both channels carry the sum.
  for (size_t i = 2 * audio::kRampFrames; i < sound_.size(); i += 2) {
    ASSERT_EQ(sound_[i], sound_[i + 1]) << i;
  }
  EXPECT_GT(TonePower(sound_, 0, 1000, 0), 0.01);

  ASSERT_EQ(tuner->SetMute(true), kOk);
  sound_.clear();
  Play(*tuner, 200);
  // Heard at once: the sink fades out what it still holds, and the programme goes on silent.
  EXPECT_EQ(hushes_, 1);
  ASSERT_FALSE(sound_.empty());
  for (size_t i = 0; i < sound_.size(); ++i) ASSERT_EQ(sound_[i], 0.0f) << i;
}

TEST_F(SdrTunerTest, ARecordingWrittenInCu8DecodesTheSame) {
  sdr::Transmitter transmitter(ImpairedStation(25));
  std::vector<sdr::Complex> iq(static_cast<size_t>(kTestRate * 5));
  transmitter.Generate(iq);
  for (sdr::Complex& s : iq) s *= 0.7f;  // headroom for the noise in eight bits
  const std::string path =
      WriteBytes("station.cu8", sdr::EncodeSamples(sdr::SampleFormat::Cu8, iq));
  auto tuner = Recording(path);
  ASSERT_EQ(tuner->Initialize(), kOk);
  ExpectTestStation(*tuner, 4500);
  // Out of the recording's span there is nothing.
  ASSERT_EQ(tuner->SetFrequency(100'000'000), kOk);
  Play(*tuner, 200);
  uint8_t flags = 0;
  ASSERT_EQ(tuner->GetState(flags), kOk);
  EXPECT_EQ(flags & kStateStation, 0);

  // Cut short while playing: the next call says so, and keeps saying so.
  std::filesystem::resize_file(path, 1000);
  ASSERT_EQ(tuner->SetFrequency(88'000'000), kOk);
  clock_.Advance(400);
  uint32_t state = 0;
  EXPECT_EQ(tuner->GetDecoderState(state), kRecordingInvalid);
  EXPECT_NE(LastReason().find("truncated"), std::string_view::npos);
  EXPECT_EQ(tuner->GetState(flags), kRecordingInvalid);
}

// A float recording with a value that is no number, and one far out of range, a second in: the
// sound goes on (finite, the station heard) rather than every filter holding the bad value.
TEST_F(SdrTunerTest, SamplesThatAreNoNumbersDoNotSilenceTheRadio) {
  sdr::Transmitter transmitter(ImpairedStation(25));
  std::vector<sdr::Complex> iq(static_cast<size_t>(kTestRate * 3.5));
  transmitter.Generate(iq);
  const auto second = static_cast<size_t>(kTestRate);
  iq[second] = {NAN, 0.5f};
  iq[second + 1] = {1e30f, -INFINITY};
  config_.format = sdr::SampleFormat::Cf32;
  const std::string path = WriteBytes("nan.cf32", sdr::EncodeSamples(config_.format, iq));
  // The sound server's reason, set while the radio opens its sound, reaches the caller.
  auto tuner = std::make_unique<SdrTuner>(clock_, config_, 10, [&] {
    sdr::SdrTunerParts parts = Parts([this, path] {
      return std::make_unique<sdr::FileSource>(path, config_.format, config_.rate, 88'000'000);
    });
    parts.openAudio = [this] {
      SetLastReason("no sound server to play on (test): the radio plays silently");
      return std::make_unique<CaptureSink>(&sound_, &hushes_);
    };
    return parts;
  }());
  ASSERT_EQ(tuner->Initialize(), kOk);
  EXPECT_NE(LastReason().find("no sound server"), std::string_view::npos) << LastReason();
  ExpectTestStation(*tuner, 3000);
  const size_t lastSecond = sound_.size() - 2 * 48000;
  double power = 0;
  for (size_t i = lastSecond; i < sound_.size(); ++i) {
    ASSERT_TRUE(std::isfinite(sound_[i])) << i;
    power += sound_[i] * sound_[i];
  }
  EXPECT_GT(power / (2 * 48000), 1e-4);
}

TEST_F(SdrTunerTest, BadRecordingsAndDevicesAreRefusedWithAReason) {
  const std::vector<uint8_t> noise = [] {
    std::vector<uint8_t> bytes(static_cast<size_t>(kTestRate) * 2);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 % 251);
    return bytes;
  }();
  std::vector<uint8_t> odd = noise;
  odd.push_back(1);
  std::vector<uint8_t> wav = noise;
  std::copy_n("RIFF", 4, wav.begin());
  const std::vector<uint8_t> nanFloats(static_cast<size_t>(kTestRate) * 8, 0xFF);
  const std::string fifo = (folder_ / "pipe.cu8").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string name;
    std::string path;
    sdr::SampleFormat format;
    int32_t code;
    std::string reason;
  };
  const Case cases[] = {
      {"missing", (folder_ / "absent.cu8").string(), sdr::SampleFormat::Cu8, kRecordingUnreadable,
       "cannot be opened"},
      {"short", WriteBytes("short.cu8", {1, 2, 3, 4}), sdr::SampleFormat::Cu8, kRecordingInvalid,
       "truncated"},
      {"odd", WriteBytes("odd.cs16", odd), sdr::SampleFormat::Cs16, kRecordingInvalid,
       "middle of a cs16 sample"},
      {"wav", WriteBytes("sound.wav", wav), sdr::SampleFormat::Cu8, kRecordingInvalid, "WAV"},
      {"not floats", WriteBytes("nan.cf32", nanFloats), sdr::SampleFormat::Cf32, kRecordingInvalid,
       "does not hold cf32"},
      {"a pipe, which is never waited on", fifo, sdr::SampleFormat::Cu8, kRecordingUnreadable,
       "not a regular file"},
  };
  for (const Case& c : cases) {
    config_.format = c.format;
    auto tuner = Recording(c.path);
    EXPECT_EQ(tuner->Initialize(), c.code) << c.name;
    EXPECT_NE(LastReason().find(c.reason), std::string_view::npos)
        << c.name << ": " << LastReason();
    int32_t frequency = 0;
    EXPECT_EQ(tuner->GetFrequency(frequency), kNotInitialized) << c.name;
  }

  config_.format = sdr::SampleFormat::Cu8;
  config_.rate = static_cast<int32_t>(sdr::kHighestRecordingRate) + 1;
  EXPECT_EQ(Recording(WriteBytes("fast.cu8", noise))->Initialize(), kRecordingInvalid);
  EXPECT_NE(LastReason().find("at most " + std::to_string(sdr::kHighestRecordingRate)),
            std::string_view::npos)
      << LastReason();

  config_.rate = 200'000;
  EXPECT_EQ(Synthetic()->Initialize(), kSampleRateTooLow);
  EXPECT_NE(LastReason().find("228000"), std::string_view::npos) << LastReason();

  config_.device = "driver=halvane_no_such_device";
  config_.rate = 1'024'000;
  const SdrConfig config = config_;
  SdrTuner tuner(clock_, config, 10,
                 Parts([config] { return std::make_unique<sdr::SoapySource>(config); }));
  EXPECT_EQ(tuner.Initialize(), kSdrNoDevice);
  EXPECT_NE(LastReason().find("driver=halvane_no_such_device"), std::string_view::npos);
}

// With a held clock every millisecond is decoded however far one step goes: one wait of 8 s shows
// what sixteen of 500 ms show.
TEST_F(SdrTunerTest, OneLongStepOfAHeldClockDecodesAsManyShortOnes) {
  const auto recordAfter = [&](int steps, int stepMs) {
    auto tuner = Synthetic();
    EXPECT_EQ(tuner->Initialize(), kOk);
    EXPECT_EQ(tuner->SetFrequency(88'000'000), kOk);
    EXPECT_EQ(tuner->StartRds(), kOk);
    uint32_t state = 0;
    for (int i = 0; i < steps; ++i) {
      clock_.Advance(stepMs);
      EXPECT_EQ(tuner->GetDecoderState(state), kOk);
    }
    RdsRecord record{};
    EXPECT_EQ(tuner->EvalData(record), kOk);
    return record;
  };
  const RdsRecord once = recordAfter(1, 8000);
  const RdsRecord inSteps = recordAfter(16, 500);
  EXPECT_EQ(Text(once.ps, 8), "SDR TEST");
  EXPECT_EQ(Text(once.rt, 38), "Received through the transmitter model");
  EXPECT_EQ(std::memcmp(&once, &inSteps, sizeof once), 0);
}

// On a running clock a call a second late drops the stretch it can no longer use and starts the
// receiver afresh: nothing from either side of the gap is joined into a wrong character.
TEST_F(SdrTunerTest, ALateCallShowsNoWrongCharacter) {
  sdr::Transmitter transmitter(ImpairedStation(14));
  std::vector<sdr::Complex> iq(static_cast<size_t>(kTestRate * 12));
  transmitter.Generate(iq);
  const std::string path = WriteBytes("late.cf32", sdr::EncodeSamples(sdr::SampleFormat::Cf32, iq));
  config_.format = sdr::SampleFormat::Cf32;
  int64_t now = 0;
  DriverClock running([&now] { return now; });
  const SdrConfig config = config_;
  SdrTuner tuner(running, config, 10, Parts([config, path] {
                   return std::make_unique<sdr::FileSource>(path, config.format, config.rate,
                                                            88'000'000);
                 }));
  ASSERT_EQ(tuner.Initialize(), kOk);
  ASSERT_EQ(tuner.SetFrequency(88'000'000), kOk);
  ASSERT_EQ(tuner.StartRds(), kOk);
  const std::string ps = "SDR TEST";
  const std::string rt = "Received through the transmitter model";
  std::string shown;
  for (int64_t step = 100; now < 11'000; now += step) {
    step = now == 4'000 || now == 7'000 ? 1'000 : 100;
    RdsRecord record{};
    if (tuner.EvalData(record) != kOk) continue;
    shown = Text(record.ps, 8);
    for (size_t i = 0; i < 8; ++i) {
      ASSERT_TRUE(shown[i] == ' ' || shown[i] == ps[i]) << now << ": " << shown;
    }
    const std::string text = Text(record.rt, 38);
    for (size_t i = 0; i < rt.size(); ++i) {
      ASSERT_TRUE(text[i] == ' ' || text[i] == rt[i]) << now << ": " << text;
    }
  }
  EXPECT_EQ(shown, ps);
}

// A device that delivers for a while and then is gone.
class VanishingSource final : public sdr::IqSource {
 public:
  int32_t Open(int64_t) override { return kOk; }
  void Close() override {}
  double SampleRate() const override { return kTestRate; }
  int32_t Tune(int64_t, int64_t, std::optional<double>& offsetHz) override {
    offsetHz = 0.0;
    return kOk;
  }
  int32_t ReadDue(int64_t, std::vector<sdr::Complex>& out) override {
    if (++reads_ > 3) {
      SetLastReason("unplugged");
      return kSdrDeviceLost;
    }
    out.resize(out.size() + 1000);
    return kOk;
  }
  int32_t ReadNow(size_t count, std::vector<sdr::Complex>& out) override {
    out.resize(out.size() + count);
    return kOk;
  }

 private:
  int reads_ = 0;
};

TEST_F(SdrTunerTest, ALostDeviceFailsEveryCallUntilTheRadioRestarts) {
  SdrTuner tuner(clock_, config_, 10, Parts([] { return std::make_unique<VanishingSource>(); }));
  ASSERT_EQ(tuner.Initialize(), kOk);
  uint8_t flags = 0;
  int32_t code = kOk;
  for (int i = 0; i < 10 && code == kOk; ++i) code = tuner.GetState(flags);
  EXPECT_EQ(code, kSdrDeviceLost);
  ClearLastReason();
  int32_t frequency = 0;
  EXPECT_EQ(tuner.GetFrequency(frequency), kSdrDeviceLost);
  EXPECT_EQ(LastReason(), "unplugged");
  EXPECT_EQ(tuner.Uninitialize(), kOk);
  EXPECT_EQ(tuner.Initialize(), kOk);
  EXPECT_EQ(tuner.GetFrequency(frequency), kOk);
}

}  // namespace
}  // namespace halvane::driver::testing_support
