// The capture loop through an ALSA device of the test's own configuration: a file plugin that
// reads known samples as its capture data, over the null device. No sound card is needed.
#include "audio/capture_loop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "pulse_daemon.h"

namespace halvane::audio_test {
namespace {

using driver::audio::AudioSink;
using driver::audio::CaptureDeviceName;
using driver::audio::CaptureLoop;

class RecordingSink final : public AudioSink {
 public:
  void Write(std::span<const float> interleaved) override {
    std::lock_guard lock(mutex_);
    samples_.insert(samples_.end(), interleaved.begin(), interleaved.end());
  }
  void SetTitle(std::string_view) override {}
  std::vector<float> samples() const {
    std::lock_guard lock(mutex_);
    return samples_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<float> samples_;
};

constexpr size_t kFrames = 4800;

// An ALSA configuration of the system's own plus a device "halvane_source" that captures the
// samples of `input`. ALSA reads its configuration once per process, so one file serves all.
std::string WriteConfiguration(const std::vector<float>& input) {
  static const std::string folder = [] {
    char name[] = "/tmp/halvane-alsa.XXXXXX";
    return std::string(mkdtemp(name));
  }();
  const std::string samples = folder + "/input.raw";
  std::ofstream(samples, std::ios::binary)
      .write(reinterpret_cast<const char*>(input.data()), input.size() * sizeof(float));
  const std::string config = folder + "/asound.conf";
  std::ofstream(config) << "pcm.halvane_source {\n"
                        << "  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n"
                        << "  infile \"" << samples << "\"\n  format \"raw\"\n}\n";
  setenv("ALSA_CONFIG_PATH", ("/usr/share/alsa/alsa.conf:" + config).c_str(), 1);
  return "halvane_source";
}

TEST(CaptureLoop, CopiesTheCaptureDeviceToTheSinkAndMutesInTheLoop) {
  std::vector<float> input(2 * kFrames);
  for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<float>(i % 200) / 400 - 0.25f;
  const std::string device = WriteConfiguration(input);

  for (bool muted : {false, true}) {
    SCOPED_TRACE(muted ? "muted" : "playing");
    auto sink = std::make_shared<RecordingSink>();
    CaptureLoop loop;
    loop.stage().SetMute(muted);
    std::string reason;
    ASSERT_TRUE(loop.Start(device, sink, reason)) << reason;
    ASSERT_TRUE(WaitUntil([&] { return sink->samples().size() >= input.size(); }));
    loop.Stop();
    EXPECT_FALSE(loop.running());

    const std::vector<float> got = sink->samples();
    for (size_t i = 0; i < input.size(); ++i)
      ASSERT_EQ(got[i], muted ? 0.0f : input[i]) << "sample " << i;
  }
}

TEST(CaptureLoop, AMissingDeviceRunsNothingAndSaysWhich) {
  auto sink = std::make_shared<RecordingSink>();
  CaptureLoop loop;
  std::string reason;
  EXPECT_FALSE(loop.Start("hw:CARD=HalvaneNoSuchCard", sink, reason));
  EXPECT_FALSE(loop.running());
  EXPECT_NE(reason.find("plughw:CARD=HalvaneNoSuchCard"), std::string::npos) << reason;
  EXPECT_EQ(CaptureDeviceName("default"), "default");
}

}  // namespace
}  // namespace halvane::audio_test
