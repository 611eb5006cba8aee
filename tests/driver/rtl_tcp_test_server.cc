#include "rtl_tcp_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <optional>

#include "sdr/sources/sample_format.h"
#include "sdr/sources/transmitter.h"
#include "sdr_test_support.h"

namespace halvane::driver::testing_support {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kTrickleSamples = 32 * 1024;  // 64 KiB

// Sends all of `bytes` unless the client goes or the server stops.
bool SendAll(int socket, const uint8_t* bytes, size_t size, const std::atomic<bool>& stop) {
  while (size > 0 && !stop) {
    pollfd out{socket, POLLOUT, 0};
    if (::poll(&out, 1, 50) <= 0) continue;
    const ssize_t sent = ::send(socket, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && errno != EAGAIN && errno != EINTR) return false;
    if (sent > 0) {
      bytes += sent;
      size -= static_cast<size_t>(sent);
    }
  }
  return size == 0;
}

// `bytes` in two odd-sized parts with a pause between, so the client's reads end inside a
// sample; as one piece unless `odd`.
bool SendChunk(int socket, const std::vector<uint8_t>& bytes, bool odd,
               const std::atomic<bool>& stop) {
  if (!odd || bytes.size() < 2) return SendAll(socket, bytes.data(), bytes.size(), stop);
  const size_t first = bytes.size() / 2 | 1;
  if (!SendAll(socket, bytes.data(), first, stop)) return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return SendAll(socket, bytes.data() + first, bytes.size() - first, stop);
}

// The air as a dongle at `centreHz` and `rate` would receive it.
class Air {
 public:
  Air(int64_t stationHz, int64_t centreHz, double rate) : rate_(rate) {
    const double offset = static_cast<double>(stationHz - centreHz);
    sdr::TransmitterOptions station = ImpairedStation(30);
    station.sampleRate = rate;
    station.carrierOffsetHz = offset + 2000;
    if (centreHz == 0 || std::fabs(offset) > rate / 2 - 114'000) {
      // Out of reach: the noise of the band, with the station buried far below it.
      station.amplitude = 0.05f;
      station.cnrDb = -10;
    }
    transmitter_ = std::make_unique<sdr::Transmitter>(station);
  }
  // The next 10 ms as cu8.
  std::vector<uint8_t> Next() {
    std::vector<sdr::Complex> iq(static_cast<size_t>(rate_ / 100));
    transmitter_->Generate(iq);
    for (sdr::Complex& s : iq) s *= 0.7f;  // headroom for the noise in eight bits
    return sdr::EncodeSamples(sdr::SampleFormat::Cu8, iq);
  }

 private:
  double rate_;
  std::unique_ptr<sdr::Transmitter> transmitter_;
};

}  // namespace

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 6000; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

RtlTcpTestServer::RtlTcpTestServer(RtlTcpServerOptions options) : options_(std::move(options)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(options_.port);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 4) != 0) {
    return;  // port() stays 0 and the test fails on it
  }
  socklen_t size = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread(&RtlTcpTestServer::Run, this);
}

RtlTcpTestServer::~RtlTcpTestServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  ::close(listener_);
}

std::vector<ReceivedCommand> RtlTcpTestServer::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

int RtlTcpTestServer::Connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

void RtlTcpTestServer::Run() {
  while (!stop_) {
    pollfd in{listener_, POLLIN, 0};
    if (::poll(&in, 1, 50) <= 0) continue;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    {
      std::lock_guard lock(mutex_);
      ++connections_;
    }
    Serve(client);
    ::close(client);
  }
}

void RtlTcpTestServer::Serve(int client) {
  if (!SendAll(client, options_.greeting.data(), options_.greeting.size(), stop_)) return;
  int64_t centreHz = 0;
  double rate = 1'024'000;
  std::unique_ptr<Air> air;
  std::vector<uint8_t> received;
  const std::vector<uint8_t> flood(64 * 1024, 0x80);
  uint64_t sent = 0;
  auto started = Clock::now();
  while (!stop_) {
    uint8_t bytes[256];
    const ssize_t n = ::recv(client, bytes, sizeof bytes, MSG_DONTWAIT);
    if (n == 0) return;
    if (n > 0) received.insert(received.end(), bytes, bytes + n);
    while (received.size() >= sdr::kRtlTcpCommandSize) {
      const ReceivedCommand command{received[0], static_cast<uint32_t>(received[1]) << 24 |
                                                     static_cast<uint32_t>(received[2]) << 16 |
                                                     static_cast<uint32_t>(received[3]) << 8 |
                                                     received[4]};
      received.erase(received.begin(), received.begin() + sdr::kRtlTcpCommandSize);
      {
        std::lock_guard lock(mutex_);
        commands_.push_back(command);
      }
      if (command.command == static_cast<uint8_t>(sdr::RtlTcpCommand::Frequency)) {
        centreHz = command.value;
        air.reset();
      } else if (command.command == static_cast<uint8_t>(sdr::RtlTcpCommand::SampleRate)) {
        rate = command.value;
        air.reset();
        sent = 0;
        started = Clock::now();
      }
    }
    switch (options_.behaviour) {
      case ServerBehaviour::Stall:
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        continue;
      case ServerBehaviour::Flood:
        if (!SendAll(client, flood.data(), flood.size(), stop_)) return;
        continue;
      case ServerBehaviour::CloseEarly:
        if (sent >= options_.closeAfterSamples) return;
        break;
      case ServerBehaviour::Trickle: {
        const auto due = started + std::chrono::milliseconds(options_.trickleEveryMs) *
                                       static_cast<int64_t>(sent / kTrickleSamples);
        if (Clock::now() < due) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
          continue;
        }
        if (!air) air = std::make_unique<Air>(options_.stationHz, centreHz, rate);
        std::vector<uint8_t> burst;
        while (burst.size() < 2 * kTrickleSamples) {
          const std::vector<uint8_t> next = air->Next();
          burst.insert(burst.end(), next.begin(), next.end());
        }
        burst.resize(2 * kTrickleSamples);
        if (!SendChunk(client, burst, options_.oddChunks, stop_)) return;
        sent += kTrickleSamples;
        continue;
      }
      case ServerBehaviour::Pattern:
      case ServerBehaviour::Zeros:
      case ServerBehaviour::Stream:
        break;
    }
    // Paced as a dongle delivers: no more than the rate allows since the stream began.
    const double due = std::chrono::duration<double>(Clock::now() - started).count() * rate;
    if (static_cast<double>(sent) > due) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    std::vector<uint8_t> chunk;
    if (options_.behaviour == ServerBehaviour::Pattern) {
      for (int i = 0; i < static_cast<int>(rate / 100); ++i)
        chunk.insert(chunk.end(), {0xC0, 0x40});
    } else if (options_.behaviour == ServerBehaviour::Zeros) {
      chunk.assign(2 * static_cast<size_t>(rate / 100), 0);
    } else {
      if (!air) air = std::make_unique<Air>(options_.stationHz, centreHz, rate);
      chunk = air->Next();
    }
    if (!SendChunk(client, chunk, options_.oddChunks, stop_)) return;
    sent += chunk.size() / 2;
  }
}

}  // namespace halvane::driver::testing_support
