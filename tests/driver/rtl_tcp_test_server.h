// The server side of rtl_tcp on loopback, for the tests: it greets, records every command it
// receives, and streams cu8 samples of the transmitter model (the test station when the
// requested centre frequency covers it, noise otherwise) at the requested rate. It can also
// misbehave as broken or hostile servers do.
#ifndef HALVANE_TESTS_DRIVER_RTL_TCP_TEST_SERVER_H
#define HALVANE_TESTS_DRIVER_RTL_TCP_TEST_SERVER_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "sdr/sources/rtl_tcp_protocol.h"

namespace halvane::driver::testing_support {

enum class ServerBehaviour {
  Stream,      // samples at the rate, for as long as the client stays
  Stall,       // the greeting, then nothing
  Flood,       // bytes as fast as the link takes them
  CloseEarly,  // closes each connection after `closeAfterSamples`, then accepts the next
  Trickle,     // 64 KiB of samples every `trickleEveryMs`, far below the rate
  Pattern,     // at the rate, every sample the same: I = 0xC0, Q = 0x40
  Zeros,       // at the rate, every byte 0
};

struct RtlTcpServerOptions {
  std::vector<uint8_t> greeting = [] {
    const auto bytes = sdr::EncodeRtlTcpGreeting({5, 29});  // an R820T with its 29 gains
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  }();
  ServerBehaviour behaviour = ServerBehaviour::Stream;
  uint64_t closeAfterSamples = 0;
  int trickleEveryMs = 1900;
  // Each piece of the stream is sent in two parts of odd sizes, as servers whose reads and
  // writes are not of whole samples do.
  bool oddChunks = false;
  int64_t stationHz = 88'000'000;
  uint16_t port = 0;  // 0: any free port
};

struct ReceivedCommand {
  uint8_t command;
  uint32_t value;
  bool operator==(const ReceivedCommand&) const = default;
};

class RtlTcpTestServer {
 public:
  explicit RtlTcpTestServer(RtlTcpServerOptions options);
  ~RtlTcpTestServer();
  RtlTcpTestServer(const RtlTcpTestServer&) = delete;
  RtlTcpTestServer& operator=(const RtlTcpTestServer&) = delete;

  uint16_t port() const { return port_; }
  std::vector<ReceivedCommand> Commands() const;
  int Connections() const;

 private:
  void Run();
  void Serve(int client);

  RtlTcpServerOptions options_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<ReceivedCommand> commands_;  // guarded by mutex_
  int connections_ = 0;                    // guarded by mutex_
};

// Polls `done` every 10 ms for up to a minute, however busy the machine; true once it holds.
bool WaitUntil(const std::function<bool()>& done);

}  // namespace halvane::driver::testing_support

#endif
