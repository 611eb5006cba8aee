// A V4L2 kind of tuner with its sound on a capture device: played while the tuner runs, muted
// and summed to mono in the tuner and the loop, the stream named after the station; without a
// sound card of its own the radio runs silently and says why.
#include "audio/playthrough_tuner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "alsa_source.h"
#include "last_reason.h"
#include "pulse_daemon.h"

namespace halvane::audio_test {
namespace {

using driver::TunerBackend;
using driver::audio::FrequencyTitle;
using driver::audio::PlaythroughOptions;
using driver::audio::PlaythroughTuner;

// Starts with `init_result`, mutes with `mute_result`, remembers what mute and mono it was told,
// and reports the station name "Café FM" (Windows-1252) in its RDS record.
struct StubTuner final : TunerBackend {
  struct Seen {
    int initialized = 0;
    int uninitialized = 0;
    bool muted = false;
    bool mono = false;
  };
  StubTuner(Seen& seen, int32_t init_result, int32_t mute_result = 0)
      : seen(seen), init_result(init_result), mute_result(mute_result) {}
  int32_t Initialize() override {
    ++seen.initialized;
    return init_result;
  }
  int32_t Uninitialize() override {
    ++seen.uninitialized;
    return 0;
  }
  int32_t SetMute(bool mute) override {
    seen.muted = mute;
    return mute_result;
  }
  int32_t SetForceMono(bool mono) override {
    seen.mono = mono;
    return 0;
  }
  int32_t SetFrequency(int32_t) override { return 0; }
  int32_t GetFrequency(int32_t&) override { return 0; }
  int32_t Search(int32_t&, bool) override { return 0; }
  int32_t StartRds() override { return 0; }
  int32_t StopRds() override { return 0; }
  int32_t GetState(uint8_t&) override { return 0; }
  int32_t GetDecoderState(uint32_t&) override { return 0; }
  int32_t EvalData(RdsRecord& record) override {
    std::memcpy(record.ps, " Caf\xE9 FM", 8);
    return 0;
  }
  Seen& seen;
  int32_t init_result;
  int32_t mute_result;
};

TEST(PlaythroughTuner, PlaysTheCaptureWhileTheTunerRunsNamedAfterTheStation) {
  const std::vector<float> input = SourceSamples(2400);
  auto sink = std::make_shared<RecordingSink>();
  PlaythroughOptions options;
  options.capture = DefineAlsaSource(input);
  options.open_sink = [sink] { return sink; };
  StubTuner::Seen seen;
  PlaythroughTuner tuner(std::make_unique<StubTuner>(seen, 0), options);

  ASSERT_EQ(tuner.Initialize(), 0);
  EXPECT_TRUE(tuner.playing());
  ASSERT_TRUE(WaitUntil([&] { return sink->samples().size() >= input.size(); }));
  const std::vector<float> played = sink->samples();
  EXPECT_EQ(std::vector<float>(played.begin(), played.begin() + input.size()), input);

  EXPECT_EQ(tuner.SetFrequency(95800000), 0);
  EXPECT_EQ(sink->title(), "FM 95.80 MHz");
  RdsRecord record{};
  EXPECT_EQ(tuner.EvalData(record), 0);
  EXPECT_EQ(sink->title(), "Caf\u00e9 FM");

  tuner.SetForceMono(true);
  EXPECT_TRUE(seen.mono);

  EXPECT_EQ(tuner.Uninitialize(), 0);
  EXPECT_FALSE(tuner.playing());
  EXPECT_EQ(seen.uninitialized, 1);
  EXPECT_EQ(FrequencyTitle(10080000), "AM 1008 kHz");
}

TEST(PlaythroughTuner, MutesInTheLoopWhereTheTunerCannotMuteItself) {
  const std::vector<float> input = SourceSamples(2400);
  const struct {
    const char* name;
    bool tuner_mutes;
    int32_t mute_result;
    bool loop_silent;
  } cases[] = {
      {"no mute control", false, 0, true},
      {"a mute control", true, 0, false},
      {"a mute control that fails", true, 206, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto sink = std::make_shared<RecordingSink>();
    PlaythroughOptions options;
    options.capture = DefineAlsaSource(input);
    options.open_sink = [sink] { return sink; };
    options.tuner_mutes = [&] { return c.tuner_mutes; };
    StubTuner::Seen seen;
    PlaythroughTuner tuner(std::make_unique<StubTuner>(seen, 0, c.mute_result), options);
    EXPECT_EQ(tuner.SetMute(true), c.mute_result);
    EXPECT_TRUE(seen.muted);
    ASSERT_EQ(tuner.Initialize(), 0);
    ASSERT_TRUE(WaitUntil([&] { return sink->samples().size() >= input.size(); }));
    tuner.Uninitialize();
    const std::vector<float> played = sink->samples();
    for (size_t i = 0; i < input.size(); ++i)
      ASSERT_EQ(played[i], c.loop_silent ? 0.0f : input[i]) << "sample " << i;
  }
}

TEST(PlaythroughTuner, WithoutItsOwnSoundCardOrATunerItPlaysNothing) {
  const std::filesystem::path empty_sysfs = ::testing::TempDir();
  PlaythroughOptions options;
  options.capture = "auto";
  options.radio_device = "/dev/radio0";
  options.sysfs = empty_sysfs.string();
  int sinks_opened = 0;
  options.open_sink = [&] {
    ++sinks_opened;
    return std::make_shared<RecordingSink>();
  };

  StubTuner::Seen seen;
  driver::ClearLastReason();
  PlaythroughTuner silent(std::make_unique<StubTuner>(seen, 0), options);
  EXPECT_EQ(silent.Initialize(), 0);
  EXPECT_FALSE(silent.playing());
  EXPECT_NE(driver::LastReason().find("/dev/radio0 has no sound card"), std::string_view::npos)
      << driver::LastReason();

  // A tuner that does not start plays nothing and keeps its own result.
  PlaythroughTuner failing(std::make_unique<StubTuner>(seen, 201), options);
  EXPECT_EQ(failing.Initialize(), 201);
  EXPECT_FALSE(failing.playing());
  EXPECT_EQ(sinks_opened, 0);
}

}  // namespace
}  // namespace halvane::audio_test
