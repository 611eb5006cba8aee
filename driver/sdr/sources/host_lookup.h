// A server's addresses from its name, through GIO's resolver, without ever holding the caller
// past a deadline: the lookup runs on the resolver's own threads and is abandoned (cancelled,
// never waited for) when the time is up or the caller is told to stop. A name server that never
// answers costs the timeout, not the time the system's resolver would take.
#ifndef HALVANE_DRIVER_SDR_SOURCES_HOST_LOOKUP_H
#define HALVANE_DRIVER_SDR_SOURCES_HOST_LOOKUP_H

#include <sys/socket.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace halvane::driver::sdr {

struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;
};

// The addresses of `host` (a name, or an IPv4 or IPv6 address as text) with `port`, each once,
// in the resolver's order. Waits at most `timeoutMs`; whenever `wakeFd` becomes readable it is
// drained and `stop` asked, and the lookup abandoned when it says so. Nothing, with `why` set,
// when there is no address.
std::vector<SocketAddress> LookUpHost(const std::string& host, uint16_t port, int timeoutMs,
                                      int wakeFd, const std::function<bool()>& stop,
                                      std::string& why);

}  // namespace halvane::driver::sdr

#endif
