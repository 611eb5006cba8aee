#include "sdr/sources/host_lookup.h"

#include <gio/gio.h>
#include <glib-unix.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace halvane::driver::sdr {
namespace {

template <typename T>
struct GObjectUnref {
  void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

struct SourceDestroy {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};
using SourcePtr = std::unique_ptr<GSource, SourceDestroy>;

// What the lookup's callbacks share with the loop that waits for them.
struct Lookup {
  GCancellable* cancellable = nullptr;
  const std::function<bool()>* stop = nullptr;
  int wakeFd = -1;
  bool done = false;
  bool timedOut = false;
  GList* addresses = nullptr;
  GError* error = nullptr;
};

void OnResolved(GObject* resolver, GAsyncResult* result, gpointer data) {
  auto* lookup = static_cast<Lookup*>(data);
  lookup->addresses =
      g_resolver_lookup_by_name_finish(G_RESOLVER(resolver), result, &lookup->error);
  lookup->done = true;
}

gboolean OnTimeout(gpointer data) {
  auto* lookup = static_cast<Lookup*>(data);
  lookup->timedOut = true;
  g_cancellable_cancel(lookup->cancellable);
  return G_SOURCE_REMOVE;
}

gboolean OnWake(gint, GIOCondition, gpointer data) {
  auto* lookup = static_cast<Lookup*>(data);
  uint64_t count = 0;
  [[maybe_unused]] const ssize_t read = ::read(lookup->wakeFd, &count, sizeof count);
  if ((*lookup->stop)()) g_cancellable_cancel(lookup->cancellable);
  return G_SOURCE_CONTINUE;
}

std::string Seconds(int ms) {
  return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
}

void Add(GInetAddress* inet, uint16_t port, std::vector<SocketAddress>& out) {
  const GObjectPtr<GSocketAddress> socket(g_inet_socket_address_new(inet, port));
  SocketAddress address;
  const gssize size = g_socket_address_get_native_size(socket.get());
  if (size <= 0 || static_cast<size_t>(size) > sizeof address.storage ||
      !g_socket_address_to_native(socket.get(), &address.storage, sizeof address.storage,
                                  nullptr)) {
    return;
  }
  address.length = static_cast<socklen_t>(size);
  const bool seen = std::any_of(out.begin(), out.end(), [&](const SocketAddress& other) {
    return other.length == address.length &&
           std::memcmp(&other.storage, &address.storage, address.length) == 0;
  });
  if (!seen) out.push_back(address);
}

}  // namespace

std::vector<SocketAddress> LookUpHost(const std::string& host, uint16_t port, int timeoutMs,
                                      int wakeFd, const std::function<bool()>& stop,
                                      std::string& why) {
  std::vector<SocketAddress> found;
  if (const GObjectPtr<GInetAddress> literal(g_inet_address_new_from_string(host.c_str()));
      literal) {
    Add(literal.get(), port, found);
    return found;
  }
  // The lookup's callbacks come on a context of this thread's own, iterated only here.
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
  const GObjectPtr<GResolver> resolver(g_resolver_get_default());
  Lookup lookup{cancellable.get(), &stop, wakeFd};
  {
    const SourcePtr timeout(g_timeout_source_new(static_cast<guint>(std::max(timeoutMs, 0))));
    g_source_set_callback(timeout.get(), OnTimeout, &lookup, nullptr);
    g_source_attach(timeout.get(), context);
    SourcePtr wake;
    if (wakeFd >= 0) {
      wake.reset(g_unix_fd_source_new(wakeFd, G_IO_IN));
      g_source_set_callback(wake.get(), G_SOURCE_FUNC(OnWake), &lookup, nullptr);
      g_source_attach(wake.get(), context);
    }
    if (stop()) g_cancellable_cancel(cancellable.get());
    g_resolver_lookup_by_name_async(resolver.get(), host.c_str(), cancellable.get(), OnResolved,
                                    &lookup);
    while (!lookup.done) g_main_context_iteration(context, TRUE);
  }
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
  if (lookup.addresses == nullptr) {
    if (lookup.timedOut) {
      why = "no name server told the address of \"" + host + "\" within " + Seconds(timeoutMs);
    } else {
      why = "cannot find the host \"" + host +
            "\": " + (lookup.error != nullptr ? lookup.error->message : "no address");
    }
    if (lookup.error != nullptr) g_error_free(lookup.error);
    return found;
  }
  for (GList* item = lookup.addresses; item != nullptr; item = item->next) {
    Add(G_INET_ADDRESS(item->data), port, found);
  }
  g_resolver_free_addresses(lookup.addresses);
  if (found.empty()) why = "cannot find the host \"" + host + "\": no address";
  return found;
}

}  // namespace halvane::driver::sdr
