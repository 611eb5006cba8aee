// The terminal radio's keys on a keyboard under GTK: the same table, looked up by GDK key value.
#ifndef HALVANE_HOST_GTK_KEY_MAP_H
#define HALVANE_HOST_GTK_KEY_MAP_H

#include <gdk/gdk.h>

#include "key_bindings.h"

namespace host::gtk {

// The binding of a key, or null.
const KeyBinding* BindingForKey(guint keyval);

}  // namespace host::gtk

#endif
