// halvane-host in batch mode on an SDR tuner whose dongle is across the network: an rtl_tcp
// server on loopback streams the transmitter model's station, and the host shows its RDS name.
#include <gtest/gtest.h>

#include <fstream>

#include "host_process.h"
#include "rtl_tcp_test_server.h"

namespace e2e {
namespace {

using halvane::driver::testing_support::RtlTcpTestServer;
using halvane::driver::testing_support::WaitUntil;

TEST(NetworkTuner, TheStationsRdsNameArrivesThroughAnRtlTcpServer) {
  RtlTcpTestServer server({.stationHz = 88'000'000});
  ASSERT_NE(server.port(), 0);
  ScratchDir scratch;
  const std::string config = scratch.path() + "/tuner.ini";
  std::ofstream(config) << "backend = sdr\ndevice = rtl_tcp=127.0.0.1:" << server.port()
                        << "\nrate = 250000\ngain = 20\n";
  HostProcess host({"--batch", "--home", scratch.path() + "/home"},
                   {{"HALVANE_CLASS_REGISTRY", scratch.path() + "/classes.reg"},
                    {"HALVANE_STATIONS", ""},
                    {"HALVANE_TUNER_CONFIG", config},
                    {"PULSE_SERVER", scratch.path() + "/no-sound-server"},
                    {"LC_ALL", "C"}});
  for (const char* action : {"create", "start", "active true", "tune 8800"}) {
    EXPECT_NE(host.Ask(action).rfind("fail", 0), 0u) << action;
  }
  // The host's clock moves only in "wait"; the samples come in real time, so ask until they
  // have carried the name.
  std::string name;
  EXPECT_TRUE(WaitUntil([&] {
    host.Ask("wait 100");
    name = host.Ask("label rdsname");
    return name == "[\"SDR TEST\",\"rdsname\"]";
  })) << name;
  EXPECT_EQ(host.Ask("label frequency"), "[\"88.0\",\"frequency\"]");
  EXPECT_EQ(host.Finish(), 0);
}

}  // namespace
}  // namespace e2e
