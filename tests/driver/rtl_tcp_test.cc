// The SDR tuner on an rtl_tcp server over loopback: the greeting and the commands the server
// receives, the station's RDS through the network, and servers that misbehave, stall, flood,
// close or restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "last_reason.h"
#include "result_codes.h"
#include "rtl_tcp_test_server.h"
#include "sdr/sdr_tuner.h"
#include "sdr/sources/rtl_tcp_source.h"
#include "sdr/sources/sample_format.h"
#include "sdr_test_support.h"

namespace halvane::driver::testing_support {
namespace {

using sdr::RtlTcpCommand;

class SilentSink final : public audio::AudioSink {
 public:
  void Write(std::span<const float>) override {}
  void SetTitle(std::string_view) override {}
  void Hush() override {}
};

ReceivedCommand Sent(RtlTcpCommand command, uint32_t value) {
  return {static_cast<uint8_t>(command), value};
}

class RtlTcpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.UseManual(true);
    config_.rate = static_cast<int32_t>(kTestRate);
  }

  // A tuner on the server at `port`; source_ is its network source once initialised.
  std::unique_ptr<sdr::SdrTuner> Tuner(uint16_t port, sdr::RtlTcpTimeouts timeouts = {}) {
    sdr::SdrTunerParts parts;
    const sdr::SdrConfig config = config_;
    parts.makeSource = [this, config, port, timeouts] {
      auto source = std::make_unique<sdr::RtlTcpSource>(
          config, sdr::NetworkAddress{"127.0.0.1", port}, timeouts);
      source_ = source.get();
      return source;
    };
    parts.openAudio = [] { return std::make_unique<SilentSink>(); };
    return std::make_unique<sdr::SdrTuner>(clock_, config_, 10, std::move(parts));
  }

  // Plays what arrives, 20 ms of the driver's clock a round, until `done` or a minute.
  bool PlayUntil(sdr::SdrTuner& tuner, const std::function<bool(int32_t)>& done) {
    return WaitUntil([&] {
      clock_.Advance(20);
      uint32_t state = 0;
      return done(tuner.GetDecoderState(state));
    });
  }

  bool ReceivesTheStation(sdr::SdrTuner& tuner) {
    return PlayUntil(tuner, [&](int32_t) {
      RdsRecord record{};
      return tuner.EvalData(record) == kOk && Text(record.ps, 8) == "SDR TEST";
    });
  }

  DriverClock clock_;
  sdr::SdrConfig config_;
  sdr::RtlTcpSource* source_ = nullptr;
};

TEST_F(RtlTcpTest, SendsTheSettingsAndTuningAndReceivesTheStationsRds) {
  RtlTcpTestServer server({});
  ASSERT_NE(server.port(), 0);
  config_.gainDb = 32.8;
  config_.ppm = -12;
  auto tuner = Tuner(server.port());
  ASSERT_EQ(tuner->Initialize(), kOk) << LastReason();
  EXPECT_EQ(source_->greeting().tunerType, 5u);
  EXPECT_EQ(source_->greeting().gainCount, 29u);
  ASSERT_EQ(tuner->SetFrequency(88'000'000), kOk);
  // The commands are compared as soon as they have all arrived (counted, whatever they say):
  // with wrong ones the station would never come.
  std::vector<ReceivedCommand> expected = {
      Sent(RtlTcpCommand::SampleRate, 250'000),
      Sent(RtlTcpCommand::GainMode, 1),
      Sent(RtlTcpCommand::Gain, 328),
      Sent(RtlTcpCommand::Agc, 0),
      Sent(RtlTcpCommand::Correction, static_cast<uint32_t>(-12)),
      Sent(RtlTcpCommand::Frequency, 87'500'000),  // where a new tuner starts
      Sent(RtlTcpCommand::Frequency, 88'000'000)};
  ASSERT_TRUE(WaitUntil([&] { return server.Commands().size() >= expected.size(); }));
  ASSERT_EQ(server.Commands(), expected);
  ASSERT_EQ(tuner->StartRds(), kOk);
  EXPECT_TRUE(ReceivesTheStation(*tuner));
  ASSERT_EQ(tuner->SetFrequency(99'500'000), kOk);
  expected.push_back(Sent(RtlTcpCommand::Frequency, 99'500'000));
  ASSERT_TRUE(WaitUntil([&] { return server.Commands().size() >= expected.size(); }));
  EXPECT_EQ(server.Commands(), expected);

  // At a rate with room for it the dongle sits a quarter of the rate beside the station, out
  // of its DC spike's way; automatic gain leaves the gain to the tuner and the RTL2832's AGC.
  RtlTcpTestServer wide({});
  config_.rate = 1'024'000;
  config_.gainDb.reset();
  config_.ppm = 0;
  sdr::RtlTcpSource wideSource(config_, sdr::NetworkAddress{"127.0.0.1", wide.port()});
  ASSERT_EQ(wideSource.Open(0), kOk) << LastReason();
  std::optional<double> offset;
  ASSERT_EQ(wideSource.Tune(88'000'000, 0, offset), kOk);
  EXPECT_EQ(offset, -256'000.0);
  ASSERT_TRUE(WaitUntil([&] { return wide.Commands().size() == 4; }));
  EXPECT_EQ(wide.Commands(),
            (std::vector<ReceivedCommand>{
                Sent(RtlTcpCommand::SampleRate, 1'024'000), Sent(RtlTcpCommand::GainMode, 0),
                Sent(RtlTcpCommand::Agc, 1), Sent(RtlTcpCommand::Frequency, 88'256'000)}));
}

TEST_F(RtlTcpTest, ServersThatAreNoneOrMisbehaveAtTheStartAreRefusedWithAReason) {
  const auto greeting = [](std::string magic, uint32_t gains) {
    auto bytes = sdr::EncodeRtlTcpGreeting({5, gains});
    std::copy(magic.begin(), magic.end(), bytes.begin());
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> greeting;
    ServerBehaviour behaviour;
    int32_t code;
    const char* reason;
  };
  const Case cases[] = {
      {"a web server", greeting("HTTP", 29), ServerBehaviour::Stream, kSdrDeviceError,
       "begins \"HTTP\", not \"RTL0\""},
      {"absurd gains", greeting("RTL0", 70'000), ServerBehaviour::Stream, kSdrDeviceError,
       "70000 gain steps"},
      {"silent", {}, ServerBehaviour::Stall, kSdrDeviceError, "sent no greeting"},
      {"half a greeting",
       {'R', 'T', 'L'},
       ServerBehaviour::CloseEarly,
       kSdrDeviceError,
       "closed the connection before its greeting"},
  };
  for (const Case& c : cases) {
    RtlTcpTestServer server({.greeting = c.greeting, .behaviour = c.behaviour});
    auto tuner = Tuner(server.port(), {.connectMs = 300, .stallMs = 300, .retryMs = 100});
    EXPECT_EQ(tuner->Initialize(), c.code) << c.name;
    EXPECT_NE(LastReason().find(c.reason), std::string_view::npos)
        << c.name << ": " << LastReason();
    int32_t frequency = 0;
    EXPECT_EQ(tuner->GetFrequency(frequency), kNotInitialized) << c.name;
  }
  uint16_t closedPort = 0;
  {
    RtlTcpTestServer gone({});
    closedPort = gone.port();
  }
  EXPECT_EQ(Tuner(closedPort)->Initialize(), kSdrNoDevice);
  EXPECT_NE(
      LastReason().find("no rtl_tcp server answers at 127.0.0.1:" + std::to_string(closedPort)),
      std::string_view::npos)
      << LastReason();
}

TEST_F(RtlTcpTest, ALostServerIsReportedAndTheRadioPlaysOnWhenItIsBack) {
  sdr::RtlTcpTimeouts quick{.connectMs = 1000, .stallMs = 500, .retryMs = 100};
  auto server = std::make_unique<RtlTcpTestServer>(RtlTcpServerOptions{});
  const uint16_t port = server->port();
  auto tuner = Tuner(port, quick);
  ASSERT_EQ(tuner->Initialize(), kOk) << LastReason();
  ASSERT_EQ(tuner->SetFrequency(88'000'000), kOk);
  ASSERT_EQ(tuner->StartRds(), kOk);
  ASSERT_TRUE(ReceivesTheStation(*tuner));

  // The server goes away: every call says so, with the reason, and none waits for it.
  server.reset();
  ASSERT_TRUE(PlayUntil(*tuner, [](int32_t code) { return code == kSdrDeviceLost; }));
  EXPECT_NE(LastReason().find("closed the connection; connecting again"), std::string_view::npos)
      << LastReason();
  int32_t frequency = 0;
  EXPECT_EQ(tuner->GetFrequency(frequency), kSdrDeviceLost);

  // Back on the same port: the settings and the station go to it again, the RDS follows.
  server = std::make_unique<RtlTcpTestServer>(RtlTcpServerOptions{.port = port});
  clock_.Advance(1000);  // what was received before is stale by now
  const ReceivedCommand station = Sent(RtlTcpCommand::Frequency, 88'000'000);
  ASSERT_TRUE(PlayUntil(*tuner, [&](int32_t code) {
    return code == kOk && !server->Commands().empty() && server->Commands().back() == station;
  }));
  EXPECT_TRUE(ReceivesTheStation(*tuner));
  const std::vector<ReceivedCommand> commands = server->Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.front(), Sent(RtlTcpCommand::SampleRate, 250'000));

  EXPECT_EQ(source_->counters().connections, 2u);

  // A server that stops sending mid-stream is lost too, and one that closes each connection
  // after a while is connected to again each time.
  RtlTcpTestServer stalling({.behaviour = ServerBehaviour::Stall});
  auto stalled = Tuner(stalling.port(), quick);
  ASSERT_EQ(stalled->Initialize(), kOk) << LastReason();
  ASSERT_TRUE(PlayUntil(*stalled, [](int32_t code) { return code == kSdrDeviceLost; }));
  EXPECT_NE(LastReason().find("sent no samples for 0.5 s"), std::string_view::npos) << LastReason();

  RtlTcpTestServer closing({.behaviour = ServerBehaviour::CloseEarly, .closeAfterSamples = 25'000});
  auto reconnecting = Tuner(closing.port(), quick);
  ASSERT_EQ(reconnecting->Initialize(), kOk) << LastReason();
  ASSERT_TRUE(PlayUntil(*reconnecting, [&](int32_t) { return closing.Connections() >= 3; }));
}

TEST_F(RtlTcpTest, AFloodingServerCostsOverrunsNotMemory) {
  RtlTcpTestServer server({.behaviour = ServerBehaviour::Flood});
  auto source =
      std::make_unique<sdr::RtlTcpSource>(config_, sdr::NetworkAddress{"127.0.0.1", server.port()});
  ASSERT_EQ(source->Open(0), kOk) << LastReason();
  // Not drained for a while: the oldest samples go, half a second is kept.
  ASSERT_TRUE(WaitUntil([&] { return source->counters().overrunSamples > kTestRate; }));
  std::vector<sdr::Complex> samples;
  ASSERT_EQ(source->ReadDue(0, samples), kOk);
  EXPECT_GT(samples.size(), 0u);
  EXPECT_LE(samples.size(), static_cast<size_t>(kTestRate / 2));
}

// Each sample's I comes before its Q however the server's pieces fall: a retune or a search's
// read that drops what was pending keeps the stream's byte parity (a swap would put the channel's
// mirror, half a megahertz away, on top of it).
TEST_F(RtlTcpTest, IAndQKeepTheirPlacesAcrossEveryRetune) {
  RtlTcpTestServer server({.behaviour = ServerBehaviour::Pattern, .oddChunks = true});
  sdr::RtlTcpSource source(config_, sdr::NetworkAddress{"127.0.0.1", server.port()});
  ASSERT_EQ(source.Open(0), kOk) << LastReason();
  std::vector<sdr::Complex> expected;
  sdr::DecodeSamples(sdr::SampleFormat::Cu8, std::vector<uint8_t>{0xC0, 0x40}, expected);
  std::vector<sdr::Complex> samples;
  int swapped = 0;
  for (int tune = 0; tune < 40; ++tune) {
    std::optional<double> offset;
    ASSERT_EQ(source.Tune(88'000'000 + 100'000 * (tune % 3), 0, offset), kOk);
    samples.clear();
    ASSERT_EQ(source.ReadNow(500, samples), kOk) << LastReason();
    ASSERT_TRUE(WaitUntil([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
      return source.ReadDue(0, samples) == kOk && samples.size() > 600;
    }));
    swapped += std::count_if(samples.begin(), samples.end(),
                             [&](sdr::Complex s) { return s != expected[0]; }) > 0;
  }
  EXPECT_EQ(swapped, 0);
}

// A link too slow for the band gives up a search within its bounds and says so, the tuner back
// on the station it left: reads that come late end it at once, a search that keeps getting
// its samples only just in time ends at its deadline.
TEST_F(RtlTcpTest, ASlowLinkEndsTheSearchWithAReasonBackOnTheStation) {
  RtlTcpTestServer trickle({.behaviour = ServerBehaviour::Trickle});
  auto tuner = Tuner(trickle.port());
  ASSERT_EQ(tuner->Initialize(), kOk) << LastReason();
  ASSERT_EQ(tuner->SetFrequency(96'000'000), kOk);
  int32_t frequency = 96'000'000;
  EXPECT_EQ(tuner->Search(frequency, true), kSdrDeviceLost);
  EXPECT_NE(LastReason().find("too few samples to measure a channel within 0.5 s"),
            std::string_view::npos)
      << LastReason();
  EXPECT_EQ(frequency, 96'000'000);
  const ReceivedCommand back = Sent(RtlTcpCommand::Frequency, 96'000'000);
  EXPECT_TRUE(WaitUntil([&] { return trickle.Commands().back() == back; }));

  // Every call of the clock a second later: nine channels, then the deadline.
  RtlTcpTestServer server({});
  int64_t wall = 0;
  sdr::SdrTunerParts parts;
  parts.makeSource = [&] {
    return std::make_unique<sdr::RtlTcpSource>(config_,
                                               sdr::NetworkAddress{"127.0.0.1", server.port()});
  };
  parts.openAudio = [] { return std::make_unique<SilentSink>(); };
  parts.wallMs = [&] { return wall += 1000; };
  sdr::SdrTuner late(clock_, config_, 10, std::move(parts));
  ASSERT_EQ(late.Initialize(), kOk) << LastReason();
  ASSERT_EQ(late.SetFrequency(100'000'000), kOk);
  frequency = 100'000'000;
  EXPECT_EQ(late.Search(frequency, true), kSdrDeviceLost);
  EXPECT_NE(LastReason().find("gave up after 10 s, 9 channels measured"), std::string_view::npos)
      << LastReason();
  ASSERT_EQ(late.GetFrequency(frequency), kOk);
  EXPECT_EQ(frequency, 100'000'000);
  const ReceivedCommand home = Sent(RtlTcpCommand::Frequency, 100'000'000);
  EXPECT_TRUE(WaitUntil([&] { return server.Commands().back() == home; }));
}

// A server sending nothing but zeros sends no station: a search over it runs to the band's end.
TEST_F(RtlTcpTest, ASearchFindsNoStationInAStreamOfZeros) {
  RtlTcpTestServer server({.behaviour = ServerBehaviour::Zeros});
  auto tuner = Tuner(server.port());
  ASSERT_EQ(tuner->Initialize(), kOk) << LastReason();
  int32_t frequency = 106'000'000;
  EXPECT_EQ(tuner->Search(frequency, true), HALVANE_SEARCH_BAND_END) << LastReason();
  EXPECT_EQ(frequency, 108'000'000);
}

}  // namespace
}  // namespace halvane::driver::testing_support

namespace halvane::driver::testing_support {
namespace {

TEST_F(RtlTcpTest, TheAmBandIsReachedByDirectSamplingOrTheUpconverterAndFmAgainWithout) {
  struct Case {
    const char* name;
    int64_t upconverterHz;
    std::vector<ReceivedCommand> sent;  // after the start's settings, for FM, AM, FM
  };
  const Case cases[] = {
      {"direct sampling",
       0,
       {Sent(RtlTcpCommand::Frequency, 99'500'000), Sent(RtlTcpCommand::DirectSampling, 2),
        Sent(RtlTcpCommand::Frequency, 1'040'000), Sent(RtlTcpCommand::DirectSampling, 0),
        Sent(RtlTcpCommand::Frequency, 88'000'000)}},
      {"upconverter",
       125'000'000,
       {Sent(RtlTcpCommand::Frequency, 99'500'000), Sent(RtlTcpCommand::Frequency, 126'040'000),
        Sent(RtlTcpCommand::Frequency, 88'000'000)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RtlTcpTestServer server({});
    config_.upconverterHz = c.upconverterHz;
    auto tuner = Tuner(server.port());
    ASSERT_EQ(tuner->Initialize(), kOk) << LastReason();
    // The start ends on its frequency: waited for by the command alone, then compared.
    ASSERT_TRUE(WaitUntil([&] {
      const std::vector<ReceivedCommand> commands = server.Commands();
      return !commands.empty() &&
             commands.back().command == static_cast<uint8_t>(RtlTcpCommand::Frequency);
    }));
    ASSERT_EQ(server.Commands().back(), Sent(RtlTcpCommand::Frequency, 87'500'000));
    const size_t before = server.Commands().size();
    ASSERT_EQ(tuner->SetFrequency(99'500'000), kOk);
    ASSERT_EQ(tuner->SetFrequency(1'040 * 10'000), kOk);
    ASSERT_EQ(tuner->SetFrequency(88'000'000), kOk);
    const size_t expected = before + c.sent.size();
    ASSERT_TRUE(WaitUntil([&] { return server.Commands().size() == expected; }));
    const std::vector<ReceivedCommand> commands = server.Commands();
    EXPECT_EQ(std::vector<ReceivedCommand>(commands.begin() + static_cast<ptrdiff_t>(before),
                                           commands.end()),
              c.sent);
  }
}

}  // namespace
}  // namespace halvane::driver::testing_support
