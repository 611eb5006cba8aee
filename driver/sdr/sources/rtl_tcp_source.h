// A dongle on another machine, served by rtl_tcp. The driver's reader thread connects, checks
// the server's greeting, sends the settings and reads cu8 samples into a buffer the tuner drains;
// the host's thread never waits on the network (only a search waits, for at most
// RtlTcpTimeouts::measureMs, for the samples of the channel it measures). A server that goes away
// is reported as lost (302, with the reason) and connected to again in the background; the radio
// plays on when it is back.
#ifndef HALVANE_DRIVER_SDR_SOURCES_RTL_TCP_SOURCE_H
#define HALVANE_DRIVER_SDR_SOURCES_RTL_TCP_SOURCE_H

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sdr/sdr_config.h"
#include "sdr/sources/iq_source.h"
#include "sdr/sources/rtl_tcp_protocol.h"

namespace halvane::driver::sdr {

struct RtlTcpTimeouts {
  int connectMs = 3000;  // to connect, and again for the greeting
  int stallMs = 2000;    // a server that sends nothing for this long is lost
  int retryMs = 1000;    // between attempts to reach a lost server
  // A search's samples of one channel (a few tens of milliseconds of them) come within this, or
  // the link is too slow to measure the band.
  int measureMs = 500;
};

// What the link has done since the source was opened.
struct RtlTcpCounters {
  uint64_t connections = 0;
  uint64_t receivedSamples = 0;
  // Samples dropped because they came faster than the tuner took them: the oldest go, so the
  // sound never lags more than the buffer's half second behind the server.
  uint64_t overrunSamples = 0;
  // Places where the samples taken do not follow on from the last: each overrun, each new
  // connection.
  uint64_t gaps = 0;
};

class RtlTcpSource final : public IqSource {
 public:
  RtlTcpSource(const SdrConfig& config, NetworkAddress address, RtlTcpTimeouts timeouts = {});
  ~RtlTcpSource() override;

  int32_t Open(int64_t nowMs) override;
  void Close() override;
  double SampleRate() const override { return rate_; }
  int32_t Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) override;
  int32_t ReadDue(int64_t nowMs, std::vector<Complex>& out) override;
  int32_t ReadNow(size_t count, std::vector<Complex>& out) override;
  bool Reconnects() const override { return true; }
  uint64_t StreamGaps() const override;

  RtlTcpCounters counters() const;
  // The greeting of the server last connected to.
  RtlTcpGreeting greeting() const;

 private:
  enum class Link { Connecting, Up, Down };

  void Run();
  // Connects and reads the greeting; on failure `code` and `why` say what went wrong.
  int Connect(int32_t& code, std::string& why);
  // Reads samples and sends commands until the connection fails (the reason returned) or the
  // source closes (empty).
  std::string Stream(int socket);
  void Receive(const uint8_t* bytes, size_t size);
  void QueueSettings();
  void Queue(RtlTcpCommand command, uint32_t value);
  void Wake();
  // Waits until `socket` is ready for `events` (true), the deadline passes or the source closes;
  // wakes for anything else are taken on the way. A socket of -1 just waits.
  bool WaitFor(int socket, short events, std::chrono::steady_clock::time_point deadline);
  bool Closing();
  std::string Where() const;
  int32_t NotUp();
  // Empties the buffer, keeping the stream's I/Q byte parity (mutex_ held).
  void DropPending();

  SdrConfig config_;
  NetworkAddress address_;
  RtlTcpTimeouts timeouts_;
  double rate_;
  double loOffsetHz_ = 0;
  size_t capacityBytes_;  // the buffer: half a second of samples
  size_t settleBytes_;    // dropped after a retune, still of the old frequency
  int wake_ = -1;         // an eventfd the host's thread pokes the reader with
  std::thread reader_;
  std::vector<uint8_t> taken_;  // the host thread's copy of the buffer, decoded outside the lock

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  // Guarded by mutex_:
  bool closing_ = false;
  Link link_ = Link::Connecting;
  int32_t code_ = 0;  // why the link is down, with reason_
  std::string reason_;
  int64_t centreHz_ = 0;         // the frequency the dongle should be on; 0 before the first tune
  bool directSampling_ = false;  // the dongle should sample the antenna directly
  std::vector<uint8_t> outgoing_;
  // cu8 bytes received and not yet taken; the first is always an I (an even stream offset).
  std::vector<uint8_t> pending_;
  uint64_t received_ = 0;  // bytes received on this connection
  size_t discard_ = 0;     // bytes still to drop after a retune
  RtlTcpGreeting greeting_;
  RtlTcpCounters counters_;
};

}  // namespace halvane::driver::sdr

#endif
