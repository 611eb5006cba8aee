// The SDR receiver fed from an rtl_tcp server on loopback beside the same chain fed from a cu8
// recording: what the network source adds (its reader thread's hand-over, the socket) to the
// cost of receiving 100 ms of a station at 1.024 MS/s.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_pairs.h"
#include "sdr/dsp/receiver.h"
#include "sdr/sources/file_source.h"
#include "sdr/sources/rtl_tcp_protocol.h"
#include "sdr/sources/rtl_tcp_source.h"
#include "sdr/sources/sample_format.h"
#include "sdr/sources/transmitter.h"

namespace bench {
namespace {

namespace sdr = halvane::driver::sdr;

constexpr double kRate = 1'024'000;
constexpr size_t kPiece = static_cast<size_t>(kRate / 100);  // 10 ms, as the driver's calls
constexpr int kPiecesPerIteration = 10;

// A second of a station at 30 dB as a dongle delivers it, centred a quarter of the rate away.
std::vector<uint8_t> StationBytes() {
  sdr::TransmitterOptions options;
  options.sampleRate = kRate;
  options.carrierOffsetHz = -kRate / 4;
  options.cnrDb = 30;
  sdr::Transmitter transmitter(options);
  std::vector<sdr::Complex> iq(static_cast<size_t>(kRate));
  transmitter.Generate(iq);
  for (sdr::Complex& s : iq) s *= 0.7f;
  return sdr::EncodeSamples(sdr::SampleFormat::Cu8, iq);
}

// Greets, then sends the station in a loop for as long as the client reads.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 1);
    socklen_t size = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }
  uint16_t port() const { return port_; }

 private:
  void Serve() {
    pollfd in{listener_, POLLIN, 0};
    while (!stop_ && ::poll(&in, 1, 50) <= 0) {
    }
    if (stop_) return;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    const auto greeting = sdr::EncodeRtlTcpGreeting({5, 29});
    ::send(client, greeting.data(), greeting.size(), MSG_NOSIGNAL);
    size_t at = 0;
    while (!stop_) {
      pollfd out{client, POLLOUT, 0};
      if (::poll(&out, 1, 50) <= 0) continue;
      const size_t size = std::min<size_t>(64 * 1024, bytes_.size() - at);
      const ssize_t sent = ::send(client, bytes_.data() + at, size, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (sent < 0 && errno != EAGAIN) break;
      if (sent > 0) at = (at + static_cast<size_t>(sent)) % bytes_.size();
    }
    ::close(client);
  }

  std::vector<uint8_t> bytes_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// 100 ms of the station through the receiver, read from `source` in the driver's 10 ms pieces.
void Receive(benchmark::State& state, sdr::IqSource& source) {
  std::optional<double> offset;
  source.Tune(88'000'000, 0, offset);
  sdr::Receiver receiver({kRate, 50});
  receiver.Tune(offset.value_or(0));
  std::vector<sdr::Complex> iq;
  std::vector<float> audio;
  int64_t ms = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPiecesPerIteration; ++i) {
      iq.clear();
      audio.clear();
      if (source.ReadNow(kPiece, iq) != 0) {
        state.SkipWithError("the source failed");
        return;
      }
      receiver.Process(iq, ms += 10, true, audio);
    }
    benchmark::DoNotOptimize(audio.data());
  }
}

void OverTheNetwork(benchmark::State& state) {
  LoopbackServer server(StationBytes());
  sdr::SdrConfig config;
  config.rate = static_cast<int32_t>(kRate);
  sdr::RtlTcpSource source(config, sdr::NetworkAddress{"127.0.0.1", server.port()});
  if (source.Open(0) != 0) {
    state.SkipWithError("no connection to the loopback server");
    return;
  }
  Receive(state, source);
  source.Close();
}

void FromARecording(benchmark::State& state) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("halvane_bench_" + std::to_string(::getpid()) + ".cu8"))
                               .string();
  {
    const std::vector<uint8_t> bytes = StationBytes();
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"),
                                                            std::fclose);
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  }
  sdr::FileSource source(path, sdr::SampleFormat::Cu8, kRate,
                         88'256'000);  // as the dongle is tuned
  if (source.Open(0) != 0) {
    state.SkipWithError("the recording cannot be opened");
  } else {
    Receive(state, source);
  }
  source.Close();
  std::filesystem::remove(path);
}

const Registration kRegistration([] {
  AddPair({.row = 22,
           .name = "SdrChainOverRtlTcp",
           .floor = "the same chain from a cu8 recording",
           .maxRatio = 1.25},
          OverTheNetwork, FromARecording);
});

}  // namespace
}  // namespace bench
