#include "sim_driver_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "test_hooks.h"

namespace halvane::driver::testing_support {

const char* const kTestBand = R"(
[station Low]
frequency = 87.5 MHz
level = 2
pi = 1A01
pty = 10
ps = "LOW     "
rt = Bottom of the band

[station Strong]
frequency = 90.0 MHz
level = 0
pi = C0DE
pty = 14
tp = yes
ps = "STRONG  "
rt = Classic rock, no talk - Rock 97
rt = Second message

[station Plain]
frequency = 92.0 MHz
level = 3
stereo = no

[station Weak]
frequency = 95.0 MHz
level = 12
pi = 2F0B
pty = 3
ps = "FOGHORN "
rt = Foghorn Coast Radio

[station Traffic]
frequency = 100.0 MHz
level = 1
pi = 5C11
tp = yes
ta = toggle
ta_period = 1
ps = TRAFFIC

[station Bravo]
frequency = 104.0 MHz
level = 1
pi = 7B0B
groups = B
ps = "BRAVO   "
rt = Top 40 all day long

[station Top]
frequency = 107.9 MHz
level = 2

[station Harbour]
frequency = 600 kHz
level = 3

[station Metro]
frequency = 1040 kHz
level = 6
)";

void SimDriverTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "halvane-driver-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder_ = pattern + "/";
  HalvaneSimReset();
  HalvaneSimUseManualClock(1);
  UseBand(kTestBand);
}

void SimDriverTest::TearDown() {
  HalvaneSimReset();
  unsetenv("HALVANE_STATIONS");
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::string SimDriverTest::WriteFile(const std::string& name, const std::string& text) {
  const std::string path = folder_ + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

void SimDriverTest::UseBand(const std::string& text) {
  setenv("HALVANE_STATIONS", WriteFile("stations.ini", text).c_str(), 1);
}

void SimDriverTest::StartRadio() {
  ASSERT_EQ(radioInitialize(), 0);
  VolumeMute(0, 1);
}

void SimDriverTest::Tune(int32_t hz) {
  RDS_Stop(0);
  radioSetFrequency(0, hz);
  RDS_Start(0);
}

void SimDriverTest::Advance(int32_t ms) { HalvaneSimAdvanceClock(ms); }

int32_t SimDriverTest::Frequency() {
  int32_t hz = 0;
  EXPECT_EQ(radioGetFrequency(0, &hz), 0);
  return hz;
}

uint8_t SimDriverTest::StateFlags() {
  uint8_t flags = 0;
  EXPECT_EQ(radioGetState(0, &flags), 0);
  return flags;
}

uint32_t SimDriverTest::DecoderState() {
  uint32_t state = 0xFFFFFFFF;
  EXPECT_EQ(RDS_SAA6588_GetDecoderState(0, &state), 0);
  return state;
}

int32_t SimDriverTest::EvalData(RdsRecord& record) { return RDS_EvalData(0, &record); }

std::optional<RdsRecord> SimDriverTest::Record() {
  RdsRecord record{};
  if (EvalData(record) != 0) return std::nullopt;
  return record;
}

std::string SimDriverTest::Ps(const RdsRecord& record) {
  return std::string(reinterpret_cast<const char*>(record.ps), 8);
}

std::string SimDriverTest::Rt(const RdsRecord& record) {
  return std::string(reinterpret_cast<const char*>(record.rt), 64);
}

}  // namespace halvane::driver::testing_support
