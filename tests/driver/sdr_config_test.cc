// backend = sdr in tuner.ini: its keys, what each refuses, and the exports driving the synthetic
// band the configuration chooses.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "backend_config.h"
#include "halvane/driver_contract.h"
#include "result_codes.h"
#include "sdr_test_support.h"
#include "test_hooks.h"
#include "tuner_backend.h"

namespace halvane::driver {
namespace {

TEST(SdrConfig, ReadsEveryKey) {
  const auto parsed = ParseBackendConfig(
      "backend = sdr\ndevice = file:/tmp/fm.cu8\nformat = cs16\nrate = 2048000\n"
      "center = 99.5 MHz\ngain = 32.8\nppm = -12\ndeemphasis = 75\ntone = 440\n"
      "tone_channel = left\ncarrier_offset = 2000\nclock_ppm = 100\ncnr = 20\nam_step = 9\n"
      "upconverter = 125 MHz\nblend = off\nhigh_cut = off\nsoft_mute = on\nequaliser = off\n");
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  const sdr::SdrConfig& sdr = parsed.value->sdr;
  EXPECT_EQ(parsed.value->kind, BackendConfig::Kind::Sdr);
  EXPECT_TRUE(sdr.IsFile());
  EXPECT_EQ(sdr.FilePath(), "/tmp/fm.cu8");
  EXPECT_EQ(sdr.format, sdr::SampleFormat::Cs16);
  EXPECT_EQ(sdr.rate, 2'048'000);
  EXPECT_EQ(sdr.centerHz, 99'500'000);
  EXPECT_EQ(sdr.gainDb, 32.8);
  EXPECT_EQ(sdr.ppm, -12);
  EXPECT_EQ(sdr.deemphasisUs, 75);
  EXPECT_EQ(sdr.toneHz, 440);
  EXPECT_TRUE(sdr.toneLeft);
  EXPECT_FALSE(sdr.toneRight);
  EXPECT_EQ(sdr.carrierOffsetHz, 2000);
  EXPECT_EQ(sdr.clockPpm, 100);
  EXPECT_EQ(sdr.cnrDb, 20);
  EXPECT_EQ(sdr.amStepKhz, 9);
  EXPECT_EQ(sdr.upconverterHz, 125'000'000);
  EXPECT_FALSE(sdr.blend);
  EXPECT_FALSE(sdr.highCut);
  EXPECT_TRUE(sdr.softMute);
  EXPECT_FALSE(sdr.equaliser);

  const auto plain = ParseBackendConfig("backend = sdr\n");
  ASSERT_TRUE(plain.ok());
  EXPECT_TRUE(plain.value->sdr.IsSynthetic());
  // The AM raster by the locale's territory.
  const char* before = getenv("LC_ALL");
  const std::string kept = before != nullptr ? before : "";
  for (const auto& [locale, khz] : {std::pair{"en_US.UTF-8", 10}, {"de_DE.UTF-8", 9}, {"C", 9}}) {
    setenv("LC_ALL", locale, 1);
    EXPECT_EQ(ParseBackendConfig("backend = sdr\n").value->sdr.amStepKhz, khz) << locale;
  }
  if (before != nullptr) {
    setenv("LC_ALL", kept.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
  EXPECT_TRUE(plain.value->sdr.blend && plain.value->sdr.highCut && plain.value->sdr.softMute &&
              plain.value->sdr.equaliser);
  EXPECT_EQ(ParseBackendConfig("backend = sdr\ncenter = 99500 kHz\n").value->sdr.centerHz,
            99'500'000);

  // An rtl_tcp server: a name or address, its port (rtl_tcp's own when none is given).
  const struct {
    const char* server;
    const char* host;
    uint16_t port;
  } servers[] = {{"attic.local:1234", "attic.local", 1234},
                 {"192.168.1.20", "192.168.1.20", 1234},
                 {"[fd00::7]:7373", "fd00::7", 7373}};
  for (const auto& c : servers) {
    const auto network =
        ParseBackendConfig(std::string("backend = sdr\ndevice = rtl_tcp=") + c.server + "\n");
    ASSERT_TRUE(network.ok()) << network.error;
    ASSERT_TRUE(network.value->sdr.IsRtlTcp());
    std::string why;
    const auto address = sdr::ParseNetworkAddress(network.value->sdr.RtlTcpServer(), why);
    ASSERT_TRUE(address) << c.server;
    EXPECT_EQ(address->host, c.host);
    EXPECT_EQ(address->port, c.port);
  }
}

TEST(SdrConfig, RefusesBadValuesWithTheirLine) {
  const std::string longHost =
      "backend = sdr\ndevice = rtl_tcp=" + std::string(400'000, 'a') + "\n";
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"backend = sdr\nformat = u8\n", "format must be"},
      {"backend = sdr\nrate = fast\n", "rate must be"},
      {"backend = sdr\ncenter = near 100\n", "center must be"},
      {"backend = sdr\ngain = loud\n", "gain must be"},
      {"backend = sdr\ndeemphasis = 60\n", "deemphasis must be"},
      {"backend = sdr\nam_step = 5\n", "am_step must be 9 or 10"},
      {"backend = sdr\nupconverter = -125 MHz\n", "upconverter must be"},
      {"backend = sdr\ntone_channel = middle\n", "tone_channel must be"},
      {"backend = sdr\nsoft_mute = yes\n", "soft_mute must be on or off"},
      {"backend = sdr\ndevice = file:/tmp/x.cu8\n", "needs center"},
      {"backend = sdr\ndevice = rtl_tcp=:1234\n", "host is missing"},
      {"backend = sdr\ndevice = rtl_tcp=pi:70000\n", "port must be 1 to 65535"},
      {"backend = sdr\ndevice = rtl_tcp=pi:\n", "port after \":\" is missing"},
      {"backend = sdr\ndevice = rtl_tcp=::1:1234\n", "in brackets"},
      {"backend = sdr\ndevice = rtl_tcp=[::1\n", "closing bracket"},
      {"backend = sdr\ndevice = rtl_tcp=tcp://127.0.0.1:5555\n", "scheme (\"tcp://\") is not"},
      {longHost.c_str(), "longer than a host name can be"},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseBackendConfig(c.text);
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error.substr(0, 200);
    EXPECT_LT(parsed.error.size(), 200u);  // what is quoted of the line is cut
    EXPECT_EQ(parsed.line, 2) << c.text;
  }
}

TEST(SdrConfig, TheExportsPlayTheSyntheticBand) {
  const std::string folder = ::testing::TempDir() + "sdr_config_" + std::to_string(getpid());
  ASSERT_EQ(system(("mkdir -p " + folder).c_str()), 0);
  std::ofstream(folder + "/tuner.ini") << "backend = sdr\ndevice = synthetic\nrate = 250000\n";
  std::ofstream(folder + "/stations.ini")
      << "[station one]\nfrequency = 95.8 MHz\npi = 1234\nps = \"ONE FM  \"\n"
      << "[station two]\nfrequency = 600 kHz\nlevel = 3\n";
  setenv(kTunerConfigVariable, (folder + "/tuner.ini").c_str(), 1);
  setenv("HALVANE_STATIONS", (folder + "/stations.ini").c_str(), 1);
  HalvaneSimReset();
  HalvaneSimUseManualClock(1);
  ASSERT_EQ(radioInitialize(), kOk);
  int32_t hz = 87'500'000;
  uint8_t level = 0;
  ASSERT_EQ(radioSearch(0, &hz, 1, &level), kOk);
  EXPECT_EQ(hz, 95'800'000);
  ASSERT_EQ(RDS_Start(0), kOk);
  RdsRecord record{};
  std::string ps;
  uint8_t flags = 0;
  for (int ms = 0; ms < 3000 && (ps != "ONE FM  " || !(flags & HALVANE_STATE_STEREO)); ms += 100) {
    HalvaneSimAdvanceClock(100);
    if (RDS_EvalData(0, &record) == kOk) ps.assign(reinterpret_cast<const char*>(record.ps), 8);
    ASSERT_EQ(radioGetState(0, &flags), kOk);
  }
  EXPECT_EQ(ps, "ONE FM  ");
  EXPECT_TRUE(flags & HALVANE_STATE_STEREO);
  // The band's AM station on the same tuner: a station, in mono, at its level.
  ASSERT_EQ(radioSetFrequency(0, 600 * 10'000), kOk);
  HalvaneSimAdvanceClock(500);
  ASSERT_EQ(radioGetState(0, &flags), kOk);
  EXPECT_EQ(flags & (kStateStation | HALVANE_STATE_STEREO), kStateStation);
  uint32_t decoder = 0;
  ASSERT_EQ(RDS_SAA6588_GetDecoderState(0, &decoder), kOk);
  EXPECT_NEAR(decoder & 0x0F, 3, 1);
  EXPECT_EQ(radioUninitialize(), kOk);
  unsetenv(kTunerConfigVariable);
  unsetenv("HALVANE_STATIONS");
  HalvaneSimReset();
  ASSERT_EQ(system(("rm -rf " + folder).c_str()), 0);
}

}  // namespace
}  // namespace halvane::driver
