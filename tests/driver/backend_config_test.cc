#include "backend_config.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>

#include "halvane/driver_contract.h"
#include "result_codes.h"
#include "test_hooks.h"

namespace halvane::driver {
namespace {

TEST(BackendConfig, DefaultsToTheSimulatedBand) {
  const auto parsed = ParseBackendConfig("# nothing set\n");
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed.value->kind, BackendConfig::Kind::Simulated);
  EXPECT_FALSE(parsed.value->traffic);
  EXPECT_TRUE(ParseBackendConfig("traffic = on\n").value->traffic);
}

TEST(BackendConfig, SelectsAV4l2Device) {
  const auto parsed = ParseBackendConfig(
      "backend = v4l2\r\ndevice = \"/dev/radio1\"\r\nseek_threshold = 6\r\nsettle_ms = 0\r\n"
      "audio = hw:1,0\r\n");
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  EXPECT_EQ(parsed.value->kind, BackendConfig::Kind::V4l2);
  EXPECT_EQ(parsed.value->device, "/dev/radio1");
  EXPECT_EQ(parsed.value->seekThreshold, 6);
  EXPECT_EQ(parsed.value->settleMs, 0);
  EXPECT_EQ(parsed.value->audio, "hw:1,0");
  EXPECT_EQ(ParseBackendConfig("audio = none\n").value->audio, "");
}

TEST(BackendConfig, RejectsWhatItDoesNotKnow) {
  EXPECT_EQ(ParseBackendConfig("backend = dab\n").line, 1);
  EXPECT_EQ(ParseBackendConfig("\n\nbackend v4l2\n").line, 3);
  EXPECT_EQ(ParseBackendConfig("# x\r\ndevcie = /dev/radio0\r\n").line, 2);
  EXPECT_FALSE(ParseBackendConfig("seek_threshold = 15\n").ok());
  EXPECT_FALSE(ParseBackendConfig("settle_ms = 5000\n").ok());
  EXPECT_FALSE(ParseBackendConfig("device =\n").ok());
  EXPECT_FALSE(ParseBackendConfig("traffic = yes\n").ok());
}

// Through the exports: the configuration chooses the tuner radioInitialize opens.
class BackendSelection : public ::testing::Test {
 protected:
  void TearDown() override {
    unsetenv(kTunerConfigVariable);
    HalvaneSimReset();
    std::remove(path_.c_str());
  }
  void UseConfig(const std::string& text) {
    std::ofstream(path_) << text;
    setenv(kTunerConfigVariable, path_.c_str(), 1);
    HalvaneSimReset();
  }
  // Test programs may run side by side: one file per process.
  std::string path_ = ::testing::TempDir() + "halvane-tuner-" + std::to_string(getpid()) + ".ini";
};

TEST_F(BackendSelection, MissingDeviceIsReportedByInitialize) {
  UseConfig("backend = v4l2\ndevice = /nonexistent/radio9\n");
  EXPECT_EQ(radioInitialize(), kNoDevice);
}

TEST_F(BackendSelection, BrokenConfigurationIsReportedByInitialize) {
  UseConfig("backend = dab\n");
  EXPECT_EQ(radioInitialize(), kConfigInvalid);
  int32_t hz = 0;
  EXPECT_EQ(radioGetFrequency(0, &hz), kNotInitialized);
  setenv(kTunerConfigVariable, "/nonexistent/tuner.ini", 1);
  HalvaneSimReset();
  EXPECT_EQ(radioInitialize(), kConfigUnreadable);
}

TEST_F(BackendSelection, SimulatedBackendByName) {
  UseConfig("backend = simulated\n");
  setenv("HALVANE_STATIONS", "", 1);
  EXPECT_EQ(radioInitialize(), 0);
  int32_t hz = 0;
  EXPECT_EQ(radioGetFrequency(0, &hz), 0);
  EXPECT_EQ(hz, 87'500'000);
}

}  // namespace
}  // namespace halvane::driver
