#include "letter_keys.h"

#include <string>

namespace host::gtk {

void ShowLetterCase(GtkWidget* root, bool small) {
  for (GtkWidget* child = gtk_widget_get_first_child(root); child != nullptr;
       child = gtk_widget_get_next_sibling(child)) {
    ShowLetterCase(child, small);
    if (!GTK_IS_BUTTON(child)) continue;
    GtkActionable* key = GTK_ACTIONABLE(child);
    GVariant* target = gtk_actionable_get_action_target_value(key);
    if (g_strcmp0(gtk_actionable_get_action_name(key), "radio.type") != 0 || target == nullptr ||
        !g_variant_is_of_type(target, G_VARIANT_TYPE_STRING))
      continue;
    std::string letter = g_variant_get_string(target, nullptr);
    if (letter.size() != 1 || !g_ascii_isalpha(letter[0])) continue;
    letter[0] = small ? g_ascii_tolower(letter[0]) : g_ascii_toupper(letter[0]);
    gtk_actionable_set_action_target_value(key, g_variant_new_string(letter.c_str()));
    gtk_button_set_label(GTK_BUTTON(child), letter.c_str());
    gtk_accessible_update_property(GTK_ACCESSIBLE(child), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   ("Type " + letter).c_str(), -1);
  }
}

}  // namespace host::gtk
