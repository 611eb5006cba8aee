// A V4L2 kind of tuner with its sound on an ALSA capture device (one of the test's own: a file
// plugin over the null device): played while the tuner runs, muted in the loop where the tuner
// cannot mute itself, the stream named after the station; without a sound card of its own, or
// with one that cannot be opened, the radio runs silently and says why.
#include "audio/playthrough_tuner.h"

#include <gtest/gtest.h>

#include <cstring>

#include "alsa_source.h"
#include "last_reason.h"
#include "pulse_daemon.h"

namespace halvane::audio_test {
namespace {

using driver::audio::FrequencyTitle;
using driver::audio::PlaythroughOptions;
using driver::audio::PlaythroughTuner;

// Starts with `initResult`, mutes with `muteResult`, and reports the station name "Café FM"
// (Windows-1252) in its RDS record.
struct StubTuner final : driver::TunerBackend {
  StubTuner(int32_t initResult, int32_t muteResult, bool& muted)
      : initResult(initResult), muteResult(muteResult), muted(muted) {}
  int32_t Initialize() override { return initResult; }
  int32_t Uninitialize() override { return 0; }
  int32_t SetMute(bool mute) override { return muted = mute, muteResult; }
  int32_t SetForceMono(bool) override { return 0; }
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
  int32_t initResult, muteResult;
  bool& muted;
};

TEST(PlaythroughTuner, PlaysTheCaptureMutingInTheLoopWhereTheTunerCannot) {
  const std::vector<float> input = SourceSamples(2400);
  const struct {
    const char* name;
    bool muted, tunerMutes;
    int32_t muteResult;
    bool loopSilent;
  } cases[] = {
      {"playing", false, false, 0, false},
      {"muted, no mute control", true, false, 0, true},
      {"muted by the tuner's control", true, true, 0, false},
      {"muted, the control fails", true, true, 206, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto sink = std::make_shared<RecordingSink>();
    PlaythroughOptions options;
    options.capture = DefineAlsaSource(input);
    options.openSink = [sink] { return sink; };
    options.tunerMutes = [&] { return c.tunerMutes; };
    bool tunerMuted = false;
    PlaythroughTuner tuner(std::make_unique<StubTuner>(0, c.muteResult, tunerMuted), options);
    EXPECT_EQ(tuner.SetMute(c.muted), c.muted ? c.muteResult : 0);
    EXPECT_EQ(tunerMuted, c.muted);

    ASSERT_EQ(tuner.Initialize(), 0);
    EXPECT_TRUE(tuner.playing());
    ASSERT_TRUE(WaitUntil([&] { return sink->samples().size() >= input.size(); }));
    const std::vector<float> played = sink->samples();
    for (size_t i = 0; i < input.size(); ++i)
      ASSERT_EQ(played[i], c.loopSilent ? 0.0f : input[i]) << "sample " << i;

    EXPECT_EQ(tuner.SetFrequency(95800000), 0);
    EXPECT_EQ(sink->title(), "FM 95.80 MHz");
    RdsRecord record{};
    EXPECT_EQ(tuner.EvalData(record), 0);
    EXPECT_EQ(sink->title(), "Caf\u00e9 FM");
    EXPECT_EQ(tuner.Uninitialize(), 0);
    EXPECT_FALSE(tuner.playing());
  }
  EXPECT_EQ(FrequencyTitle(10080000), "AM 1008 kHz");
}

TEST(PlaythroughTuner, WithoutASoundCardItCanUseTheRadioRunsSilentlyAndSaysWhy) {
  const struct {
    const char* capture;
    int32_t initResult;
    const char* reason;
  } cases[] = {
      {"auto", 0, "/dev/radio0 has no sound card of its own"},  // an empty sysfs
      {"hw:CARD=HalvaneNoSuchCard", 0, "capture device plughw:CARD=HalvaneNoSuchCard: "},
      {"hw:CARD=HalvaneNoSuchCard", 201, ""},  // a tuner that does not start plays nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.capture);
    PlaythroughOptions options;
    options.capture = c.capture;
    options.sysfs = ::testing::TempDir();
    options.openSink = [] { return std::make_shared<RecordingSink>(); };
    bool muted = false;
    driver::ClearLastReason();
    PlaythroughTuner tuner(std::make_unique<StubTuner>(c.initResult, 0, muted), options);
    EXPECT_EQ(tuner.Initialize(), c.initResult);
    EXPECT_FALSE(tuner.playing());
    if (*c.reason == '\0') {
      EXPECT_TRUE(driver::LastReason().empty()) << driver::LastReason();
    } else {
      EXPECT_EQ(driver::LastReason().find(c.reason), 0u) << driver::LastReason();
    }
  }
}

}  // namespace
}  // namespace halvane::audio_test
