#include "letter_keys.h"

#include <string>

namespace host::gtk {
namespace {

// A key a number does not need: one typing anything but a digit or a decimal mark, and shift.
bool IsWordKey(GtkWidget* widget) {
  if (!GTK_IS_BUTTON(widget)) return false;
  GtkActionable* key = GTK_ACTIONABLE(widget);
  const char* action = gtk_actionable_get_action_name(key);
  if (g_strcmp0(action, "radio.shift") == 0) return true;
  GVariant* target = gtk_actionable_get_action_target_value(key);
  if (g_strcmp0(action, "radio.type") != 0 || target == nullptr ||
      !g_variant_is_of_type(target, G_VARIANT_TYPE_STRING))
    return false;
  const std::string text = g_variant_get_string(target, nullptr);
  return text.size() != 1 || !(g_ascii_isdigit(text[0]) || text[0] == '.' || text[0] == ',');
}

// Returns whether anything under `root` stays shown.
bool ShowLetters(GtkWidget* root, bool shown) {
  bool any = false;
  for (GtkWidget* child = gtk_widget_get_first_child(root); child != nullptr;
       child = gtk_widget_get_next_sibling(child)) {
    if (IsWordKey(child)) {
      gtk_widget_set_visible(child, shown);
      any = any || shown;
    } else if (GTK_IS_BOX(child) && gtk_widget_get_first_child(child) != nullptr) {
      const bool stays = ShowLetters(child, shown);
      gtk_widget_set_visible(child, stays);
      any = any || stays;
    } else {
      any = any || gtk_widget_get_visible(child);
    }
  }
  return any;
}

}  // namespace

void ShowKeysFor(GtkBuilder* keyboard, GtkWidget* root, bool number) {
  GObject* letters = gtk_builder_get_object(keyboard, kLetterPadId);
  GObject* numbers = gtk_builder_get_object(keyboard, kNumberPadId);
  if (GTK_IS_WIDGET(letters) && GTK_IS_WIDGET(numbers)) {
    gtk_widget_set_visible(GTK_WIDGET(letters), !number);
    gtk_widget_set_visible(GTK_WIDGET(numbers), number);
    return;
  }
  ShowLetters(root, !number);
}

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
