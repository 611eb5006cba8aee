#include "key_map.h"

#include <cstring>

namespace host::gtk {
namespace {

// Keys the table names rather than types.
struct NamedKey {
  const char* name;
  guint keyval;
};

constexpr NamedKey kNamedKeys[] = {
    {"Right", GDK_KEY_Right},      {"Left", GDK_KEY_Left},      {"Up", GDK_KEY_Up},
    {"Down", GDK_KEY_Down},        {"PgUp", GDK_KEY_Page_Up},   {"PgDn", GDK_KEY_Page_Down},
    {"Enter", GDK_KEY_Return},     {"Enter", GDK_KEY_KP_Enter}, {"Delete", GDK_KEY_Delete},
    {"Delete", GDK_KEY_KP_Delete},
};

bool IsTypedKey(int key) { return key > ' ' && key < 0x7F; }

}  // namespace

const KeyBinding* BindingForKey(guint keyval) {
  const gunichar typed = gdk_keyval_to_unicode(keyval);
  for (const KeyBinding& binding : KeyBindings()) {
    if (IsTypedKey(binding.key)) {
      if (typed == static_cast<gunichar>(binding.key)) return &binding;
      continue;
    }
    for (const NamedKey& named : kNamedKeys)
      if (named.keyval == keyval && std::strcmp(named.name, binding.name) == 0) return &binding;
  }
  return nullptr;
}

}  // namespace host::gtk
