// Starting and stopping the rtl_tcp source against name servers and addresses that never answer:
// a stand-in for the system's resolver (GIO's default resolver, replaced) answers names as the
// test says, or never.
#include <arpa/inet.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <future>

#include "last_reason.h"
#include "result_codes.h"
#include "rtl_tcp_test_server.h"
#include "sdr/sources/rtl_tcp_source.h"

namespace {

// What the stand-in resolver answers: these addresses, or nothing ever (a silent name server)
// until the asker gives up.
std::vector<std::string> gAnswers;
std::atomic<bool> gSilent{false};
std::atomic<int> gLookups{0};

struct StubResolver {
  GResolver parent;
};
struct StubResolverClass {
  GResolverClass parent;
};

G_DEFINE_TYPE(StubResolver, stub_resolver, G_TYPE_RESOLVER)

void OnGivenUp(GCancellable*, gpointer task) {
  g_task_return_new_error(G_TASK(task), G_IO_ERROR, G_IO_ERROR_CANCELLED, "given up");
}

void LookUpAsync(GResolver* resolver, const gchar*, GCancellable* cancellable,
                 GAsyncReadyCallback callback, gpointer data) {
  ++gLookups;
  GTask* task = g_task_new(resolver, cancellable, callback, data);
  if (gSilent) {
    g_cancellable_connect(cancellable, G_CALLBACK(OnGivenUp), task, g_object_unref);
    return;
  }
  GList* addresses = nullptr;
  for (const std::string& text : gAnswers)
    addresses = g_list_append(addresses, g_inet_address_new_from_string(text.c_str()));
  g_task_return_pointer(task, addresses,
                        reinterpret_cast<GDestroyNotify>(g_resolver_free_addresses));
  g_object_unref(task);
}

GList* LookUpFinish(GResolver*, GAsyncResult* result, GError** error) {
  return static_cast<GList*>(g_task_propagate_pointer(G_TASK(result), error));
}

void stub_resolver_class_init(StubResolverClass* type) {
  type->parent.lookup_by_name_async = LookUpAsync;
  type->parent.lookup_by_name_finish = LookUpFinish;
}
void stub_resolver_init(StubResolver*) {}

}  // namespace

namespace halvane::driver::testing_support {
namespace {

class RtlTcpStart : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = g_resolver_get_default();
    GResolver* stub = G_RESOLVER(g_object_new(stub_resolver_get_type(), nullptr));
    g_resolver_set_default(stub);
    g_object_unref(stub);
    config_.rate = 250'000;
  }
  void TearDown() override {
    g_resolver_set_default(previous_);
    g_object_unref(previous_);
  }

  GResolver* previous_ = nullptr;
  sdr::SdrConfig config_;
};

// A listener whose queue is full: a connection to it is never answered.
class FullListener {
 public:
  FullListener(const std::string& address, uint16_t port) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    ::inet_pton(AF_INET, address.c_str(), &where.sin_addr);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&where), sizeof where);
    ::listen(fd_, 0);
    socklen_t size = sizeof where;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&where), &size);
    port_ = ntohs(where.sin_port);
    for (int& filler : fillers_) {
      filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      ::connect(filler, reinterpret_cast<sockaddr*>(&where), sizeof where);
    }
  }
  ~FullListener() {
    for (int filler : fillers_) ::close(filler);
    ::close(fd_);
  }
  FullListener(const FullListener&) = delete;
  FullListener& operator=(const FullListener&) = delete;
  uint16_t port() const { return port_; }

 private:
  int fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int fillers_[2] = {-1, -1};
  uint16_t port_ = 0;
};

// The whole search for the server shares one deadline, and its reason says each failure once:
// a silent name server, and a name of ten addresses none of which answers.
TEST_F(RtlTcpStart, FindingTheServerEndsAtOneDeadline) {
  const sdr::RtlTcpTimeouts quick{.connectMs = 300, .stallMs = 300, .retryMs = 100};
  gSilent = true;
  sdr::RtlTcpSource silent(config_, {"rtl.example", 1234}, quick);
  EXPECT_EQ(silent.Open(0), kSdrNoDevice);
  EXPECT_EQ(LastReason(), "no name server told the address of \"rtl.example\" within 0.3 s");

  gSilent = false;
  std::vector<std::unique_ptr<FullListener>> listeners;
  listeners.push_back(std::make_unique<FullListener>("127.0.0.1", 0));
  const uint16_t port = listeners.front()->port();
  gAnswers = {"127.0.0.1"};
  for (int host = 2; host <= 10; ++host) {
    gAnswers.push_back("127.0.0." + std::to_string(host));
    listeners.push_back(std::make_unique<FullListener>(gAnswers.back(), port));
  }
  sdr::RtlTcpSource unanswered(config_, {"rtl.example", port}, quick);
  EXPECT_EQ(unanswered.Open(0), kSdrNoDevice);
  EXPECT_EQ(LastReason(), "no rtl_tcp server answers at rtl.example:" + std::to_string(port) +
                              " (10 addresses) (no answer within 0.3 s)");
}

// Closing never waits for a name server: the source reconnecting to a lost server while the
// name server is silent closes at once.
TEST_F(RtlTcpStart, ClosingAbandonsALookupThatNeverEnds) {
  auto server = std::make_unique<RtlTcpTestServer>(RtlTcpServerOptions{});
  gAnswers = {"127.0.0.1"};
  sdr::RtlTcpSource source(config_, {"rtl.example", server->port()},
                           {.connectMs = 60'000, .stallMs = 300, .retryMs = 100});
  ASSERT_EQ(source.Open(0), kOk) << LastReason();
  gSilent = true;
  const int before = gLookups;
  server.reset();
  ASSERT_TRUE(WaitUntil([&] { return gLookups > before; }));
  // Joining the lookup would wait for its minute; abandoned, it ends as soon as it is asked to.
  auto closed = std::async(std::launch::async, [&] { source.Close(); });
  EXPECT_EQ(closed.wait_for(std::chrono::seconds(30)), std::future_status::ready);
}

}  // namespace
}  // namespace halvane::driver::testing_support
