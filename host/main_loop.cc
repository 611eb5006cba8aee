#include "main_loop.h"

#include <glib.h>

namespace host {

void RunMainLoopFor(int32_t ms) {
  GMainContext* context = g_main_context_default();
  if (ms <= 0) {
    while (g_main_context_iteration(context, FALSE)) {
    }
    return;
  }
  bool done = false;
  GSource* deadline = g_timeout_source_new(static_cast<guint>(ms));
  g_source_set_callback(
      deadline,
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &done, nullptr);
  g_source_attach(deadline, context);
  while (!done) g_main_context_iteration(context, TRUE);
  g_source_destroy(deadline);
  g_source_unref(deadline);
}

}  // namespace host
