#include "serving_input.h"

#include <glib-unix.h>
#include <unistd.h>

#include <cerrno>

namespace host {

void ServingInput::WaitReadable() {
  bool readable = false;
  GSource* source = g_unix_fd_source_new(
      fd_, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR | G_IO_NVAL));
  g_source_set_callback(source, G_SOURCE_FUNC(+[](gint, GIOCondition, gpointer flag) -> gboolean {
                          *static_cast<bool*>(flag) = true;
                          return G_SOURCE_REMOVE;
                        }),
                        &readable, nullptr);
  g_source_attach(source, context_);
  while (!readable) g_main_context_iteration(context_, TRUE);
  g_source_destroy(source);
  g_source_unref(source);
}

ServingInput::int_type ServingInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  WaitReadable();
  ssize_t n;
  do {
    n = ::read(fd_, buffer_, sizeof buffer_);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return traits_type::eof();
  setg(buffer_, buffer_, buffer_ + n);
  return traits_type::to_int_type(*gptr());
}

}  // namespace host
