#include "sdr/sources/rtl_tcp_source.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

#include "last_reason.h"
#include "result_codes.h"
#include "sdr/broadcast.h"
#include "sdr/sources/am_access.h"
#include "sdr/sources/host_lookup.h"
#include "sdr/sources/sample_format.h"

namespace halvane::driver::sdr {
namespace {

using Clock = std::chrono::steady_clock;

// Samples of the old frequency still on their way after a retune: dropped.
constexpr int64_t kSettleMs = 20;
constexpr size_t kChunkBytes = 64 * 1024;

int32_t Fail(int32_t code, std::string reason) {
  SetLastReason(std::move(reason));
  return code;
}

int MsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::max<int64_t>(left, 0));
}

std::string Seconds(int ms) {
  const std::string text = std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100);
  return text + " s";
}

class Socket {
 public:
  explicit Socket(int fd = -1) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace

RtlTcpSource::RtlTcpSource(const SdrConfig& config, NetworkAddress address, RtlTcpTimeouts timeouts)
    : config_(config),
      address_(std::move(address)),
      timeouts_(timeouts),
      rate_(config.rate),
      capacityBytes_(2 * static_cast<size_t>(rate_ * kMaxBacklogMs / 1000)),
      settleBytes_(2 * static_cast<size_t>(rate_ * kSettleMs / 1000)) {
  loOffsetHz_ = CentreOffsetHz(rate_);
}

RtlTcpSource::~RtlTcpSource() { Close(); }

std::string RtlTcpSource::Where() const {
  const bool v6 = address_.host.find(':') != std::string::npos;
  return "the rtl_tcp server at " + (v6 ? "[" + address_.host + "]" : address_.host) + ":" +
         std::to_string(address_.port);
}

int32_t RtlTcpSource::Open(int64_t) {
  Close();
  wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0) return Fail(kInternalFailure, std::string("no eventfd: ") + std::strerror(errno));
  {
    std::lock_guard lock(mutex_);
    closing_ = false;
    link_ = Link::Connecting;
    pending_.clear();
    received_ = 0;
    discard_ = 0;
    outgoing_.clear();
    counters_ = {};
  }
  reader_ = std::thread(&RtlTcpSource::Run, this);
  std::unique_lock lock(mutex_);
  // The reader bounds its first attempt by the connect and greeting timeouts.
  changed_.wait(lock, [&] { return link_ != Link::Connecting; });
  // Connected is opened, even when the server has closed again before this thread woke (a busy
  // machine): the reader is connecting again, and the calls report the loss meanwhile.
  if (link_ == Link::Up || counters_.connections > 0) return kOk;
  const int32_t code = code_;
  std::string reason = reason_;
  lock.unlock();
  Close();
  return Fail(code, std::move(reason));
}

void RtlTcpSource::Close() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  Wake();
  if (reader_.joinable()) reader_.join();
  if (wake_ >= 0) ::close(wake_);
  wake_ = -1;
}

void RtlTcpSource::Wake() {
  if (wake_ < 0) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
}

bool RtlTcpSource::Closing() {
  std::lock_guard lock(mutex_);
  return closing_;
}

void RtlTcpSource::Run() {
  bool first = true;
  std::string lost;
  while (!Closing()) {
    int32_t code = kOk;
    std::string why;
    if (const int fd = Connect(code, why); fd >= 0) {
      Socket socket(fd);
      {
        std::lock_guard lock(mutex_);
        link_ = Link::Up;
        ++counters_.connections;
        ++counters_.gaps;  // the new stream does not go on from the last
        pending_.clear();
        received_ = 0;
        discard_ += discard_ % 2;
        outgoing_.clear();
        QueueSettings();
      }
      changed_.notify_all();
      first = false;
      lost = Stream(socket.get());
      if (lost.empty()) return;  // closing
      std::lock_guard lock(mutex_);
      link_ = Link::Down;
      code_ = kSdrDeviceLost;
      reason_ = Where() + " " + lost + "; connecting again every " + Seconds(timeouts_.retryMs);
    } else {
      std::lock_guard lock(mutex_);
      if (first) {
        link_ = Link::Down;
        code_ = code;
        reason_ = std::move(why);
        changed_.notify_all();
        return;
      }
      reason_ = Where() + " " + lost + "; connecting again every " + Seconds(timeouts_.retryMs) +
                " (the last try: " + why + ")";
    }
    changed_.notify_all();
    // The pause between attempts: a retune meanwhile neither shortens it nor is lost (the
    // settings sent on connecting carry it).
    WaitFor(-1, 0, Clock::now() + std::chrono::milliseconds(timeouts_.retryMs));
  }
}

bool RtlTcpSource::WaitFor(int socket, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd fds[2] = {{socket, events, 0}, {wake_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, MsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (fds[0].revents != 0) return true;
    // A wake for a command waits for the connection; one for closing ends the wait.
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
    if (Closing()) return false;
  }
}

int RtlTcpSource::Connect(int32_t& code, std::string& why) {
  code = kSdrNoDevice;
  // One deadline for finding the server: the name and every address it has.
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeouts_.connectMs);
  const std::vector<SocketAddress> addresses = LookUpHost(
      address_.host, address_.port, timeouts_.connectMs, wake_, [this] { return Closing(); }, why);
  if (addresses.empty()) return -1;
  std::vector<std::string> failures;  // each different one once
  const auto failed = [&](std::string failure) {
    if (std::find(failures.begin(), failures.end(), failure) == failures.end())
      failures.push_back(std::move(failure));
  };
  int connected = -1;
  for (const SocketAddress& a : addresses) {
    if (connected >= 0 || Closing()) break;
    if (MsLeft(deadline) == 0) {
      failed("no answer within " + Seconds(timeouts_.connectMs));
      break;
    }
    const int family = a.storage.ss_family;
    Socket attempt(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (attempt.get() < 0) {
      failed(std::strerror(errno));
      continue;
    }
    // A small receive buffer: a slow link shows as overruns here, not as seconds of samples
    // queued in the kernel that the sound would lag behind.
    const int buffer = static_cast<int>(std::max<size_t>(capacityBytes_ / 4, 64 * 1024));
    ::setsockopt(attempt.get(), SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    const int one = 1;
    ::setsockopt(attempt.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(attempt.get(), reinterpret_cast<const sockaddr*>(&a.storage), a.length) != 0 &&
        errno != EINPROGRESS) {
      failed(std::strerror(errno));
      continue;
    }
    if (!WaitFor(attempt.get(), POLLOUT, deadline)) {
      failed("no answer within " + Seconds(timeouts_.connectMs));
      continue;
    }
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(attempt.get(), SOL_SOCKET, SO_ERROR, &error, &size);
    if (error != 0) {
      failed(std::strerror(error));
      continue;
    }
    connected = attempt.Release();
  }
  if (connected < 0) {
    why = "no rtl_tcp server answers at " + address_.host + ":" + std::to_string(address_.port);
    if (addresses.size() > 1) why += " (" + std::to_string(addresses.size()) + " addresses)";
    for (const std::string& failure : failures) why += " (" + failure + ")";
    return -1;
  }
  Socket socket(connected);

  // The greeting: exactly 12 bytes within the timeout, or the server is refused.
  code = kSdrDeviceError;
  std::array<uint8_t, kRtlTcpGreetingSize> greeting{};
  size_t got = 0;
  const auto greeted = Clock::now() + std::chrono::milliseconds(timeouts_.connectMs);
  while (got < greeting.size()) {
    if (!WaitFor(socket.get(), POLLIN, greeted)) {
      why = Where() + " sent no greeting within " + Seconds(timeouts_.connectMs) +
            ": is it an rtl_tcp server?";
      return -1;
    }
    const ssize_t n = ::recv(socket.get(), greeting.data() + got, greeting.size() - got, 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
      why = Where() + " closed the connection before its greeting" +
            (n < 0 ? std::string(" (") + std::strerror(errno) + ")" : "") +
            ": is the dongle in use by another client?";
      return -1;
    }
    if (n > 0) got += static_cast<size_t>(n);
  }
  std::string wrong;
  const std::optional<RtlTcpGreeting> parsed = ParseRtlTcpGreeting(greeting, wrong);
  if (!parsed) {
    why = Where() + " is refused: " + wrong;
    return -1;
  }
  std::lock_guard lock(mutex_);
  greeting_ = *parsed;
  return socket.Release();
}

void RtlTcpSource::QueueSettings() {
  Queue(RtlTcpCommand::SampleRate, static_cast<uint32_t>(config_.rate));
  if (config_.gainDb) {
    Queue(RtlTcpCommand::GainMode, 1);
    Queue(RtlTcpCommand::Gain, static_cast<uint32_t>(std::lround(*config_.gainDb * 10)));
    Queue(RtlTcpCommand::Agc, 0);
  } else {
    Queue(RtlTcpCommand::GainMode, 0);
    Queue(RtlTcpCommand::Agc, 1);
  }
  if (const auto ppm = static_cast<int32_t>(std::lround(config_.ppm)); ppm != 0) {
    Queue(RtlTcpCommand::Correction, static_cast<uint32_t>(ppm));
  }
  if (directSampling_) Queue(RtlTcpCommand::DirectSampling, 2);
  if (centreHz_ > 0) Queue(RtlTcpCommand::Frequency, static_cast<uint32_t>(centreHz_));
}

void RtlTcpSource::Queue(RtlTcpCommand command, uint32_t value) {
  const RtlTcpCommandBytes bytes = EncodeRtlTcpCommand(command, value);
  outgoing_.insert(outgoing_.end(), bytes.begin(), bytes.end());
}

std::string RtlTcpSource::Stream(int socket) {
  std::vector<uint8_t> chunk(kChunkBytes);
  std::vector<uint8_t> sending;
  auto lastData = Clock::now();
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (closing_) return {};
      sending.insert(sending.end(), outgoing_.begin(), outgoing_.end());
      outgoing_.clear();
    }
    if (!sending.empty()) {
      const ssize_t sent =
          ::send(socket, sending.data(), sending.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
      if (sent < 0 && errno != EAGAIN && errno != EINTR) {
        return std::string("refused a command (") + std::strerror(errno) + ")";
      }
      if (sent > 0) sending.erase(sending.begin(), sending.begin() + sent);
    }
    const auto stalled = lastData + std::chrono::milliseconds(timeouts_.stallMs);
    if (Clock::now() >= stalled) {
      return "sent no samples for " + Seconds(timeouts_.stallMs);
    }
    const short events = static_cast<short>(POLLIN | (sending.empty() ? 0 : POLLOUT));
    pollfd fds[2] = {{socket, events, 0}, {wake_, POLLIN, 0}};
    if (::poll(fds, 2, MsLeft(stalled)) < 0 && errno != EINTR) {
      return std::string("cannot be waited for (") + std::strerror(errno) + ")";
    }
    if (fds[1].revents != 0) {
      uint64_t count = 0;
      [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
    }
    if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
    const ssize_t n = ::recv(socket, chunk.data(), chunk.size(), MSG_DONTWAIT);
    if (n == 0) return "closed the connection";
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      return std::string("failed: ") + std::strerror(errno);
    }
    lastData = Clock::now();
    Receive(chunk.data(), static_cast<size_t>(n));
  }
}

void RtlTcpSource::Receive(const uint8_t* bytes, size_t size) {
  std::lock_guard lock(mutex_);
  const size_t dropped = std::min(discard_, size);
  discard_ -= dropped;
  pending_.insert(pending_.end(), bytes + dropped, bytes + size);
  counters_.receivedSamples += (received_ + size) / 2 - received_ / 2;
  received_ += size;
  if (pending_.size() > capacityBytes_) {
    // Whole samples only, so I stays before Q.
    const size_t excess = (pending_.size() - capacityBytes_ + 1) & ~size_t{1};
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(excess));
    counters_.overrunSamples += excess / 2;
    ++counters_.gaps;
  }
  changed_.notify_all();
}

int32_t RtlTcpSource::NotUp() {
  if (link_ == Link::Down) return Fail(code_, reason_);
  return Fail(kNotInitialized, "the rtl_tcp source is not open");
}

int32_t RtlTcpSource::Tune(int64_t frequencyHz, int64_t, std::optional<double>& offsetHz) {
  {
    // While the server is away the frequency waits for it: the reconnection sends it.
    std::lock_guard lock(mutex_);
    if (link_ == Link::Connecting) return NotUp();
    // rtl_tcp cannot say whether the dongle samples directly: the command is sent, and a dongle
    // without it hears nothing on AM.
    const DeviceTuning tuning = *DeviceTuningFor(frequencyHz, config_.upconverterHz, true);
    const bool modeChanges = tuning.directSampling != directSampling_;
    directSampling_ = tuning.directSampling;
    centreHz_ = tuning.deviceHz + static_cast<int64_t>(loOffsetHz_);
    if (link_ == Link::Up) {
      if (modeChanges) Queue(RtlTcpCommand::DirectSampling, directSampling_ ? 2 : 0);
      Queue(RtlTcpCommand::Frequency, static_cast<uint32_t>(centreHz_));
    }
    discard_ = settleBytes_;
    DropPending();
  }
  Wake();
  offsetHz = -loOffsetHz_;
  return kOk;
}

int32_t RtlTcpSource::ReadDue(int64_t, std::vector<Complex>& out) {
  {
    std::lock_guard lock(mutex_);
    if (link_ != Link::Up) return NotUp();
    const size_t whole = pending_.size() & ~size_t{1};
    taken_.assign(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(whole));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(whole));
  }
  DecodeSamples(SampleFormat::Cu8, taken_, out);
  return kOk;
}

int32_t RtlTcpSource::ReadNow(size_t count, std::vector<Complex>& out) {
  {
    std::unique_lock lock(mutex_);
    DropPending();
    const bool ready = changed_.wait_for(lock, std::chrono::milliseconds(timeouts_.measureMs), [&] {
      return link_ != Link::Up || pending_.size() >= 2 * count;
    });
    if (link_ != Link::Up) return NotUp();
    if (!ready) {
      return Fail(kSdrDeviceLost, Where() + " sent too few samples to measure a channel within " +
                                      Seconds(timeouts_.measureMs) + ": the link is too slow");
    }
    taken_.assign(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(2 * count));
    DropPending();
  }
  DecodeSamples(SampleFormat::Cu8, taken_, out);
  return kOk;
}

RtlTcpCounters RtlTcpSource::counters() const {
  std::lock_guard lock(mutex_);
  return counters_;
}

uint64_t RtlTcpSource::StreamGaps() const {
  std::lock_guard lock(mutex_);
  return counters_.gaps;
}

void RtlTcpSource::DropPending() {
  pending_.clear();
  // The bytes kept after the drop must begin with an I: when the stream so far, with what is
  // still to be discarded, ends inside a sample, its Q goes too.
  discard_ += (received_ + discard_) % 2;
}

RtlTcpGreeting RtlTcpSource::greeting() const {
  std::lock_guard lock(mutex_);
  return greeting_;
}

}  // namespace halvane::driver::sdr
