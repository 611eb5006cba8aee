// Owning pointers to GLib and GTK objects, released with g_object_unref.
#ifndef HALVANE_HOST_GTK_GOBJECT_PTR_H
#define HALVANE_HOST_GTK_GOBJECT_PTR_H

#include <glib-object.h>

#include <memory>

namespace host::gtk {

struct GObjectUnref {
  void operator()(gpointer object) const {
    if (object != nullptr) g_object_unref(object);
  }
};

template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

}  // namespace host::gtk

#endif
