#include "dialogs.h"

#include <algorithm>
#include <memory>

#include "key_bindings.h"

namespace host::gtk {
namespace {

constexpr int kButtonHeight = 48;
constexpr int kMargin = 24;  // kept free around a dialog on the radio's screen

gboolean CloseOnEscape(GtkEventControllerKey*, guint keyval, guint, GdkModifierType,
                       gpointer window) {
  if (keyval != GDK_KEY_Escape) return FALSE;
  gtk_window_close(GTK_WINDOW(window));
  return TRUE;
}

// A window over `parent`, no larger than it, closed by Esc.
GtkWidget* NewDialog(GtkWindow* parent, const std::string& title) {
  GtkWidget* dialog = gtk_window_new();
  gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
  gtk_window_set_transient_for(GTK_WINDOW(dialog), parent);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_destroy_with_parent(GTK_WINDOW(dialog), TRUE);
  GtkEventController* keys = gtk_event_controller_key_new();
  g_signal_connect(keys, "key-pressed", G_CALLBACK(CloseOnEscape), dialog);
  gtk_widget_add_controller(dialog, keys);
  return dialog;
}

void ParentSize(GtkWindow* parent, int& width, int& height) {
  width = gtk_widget_get_width(GTK_WIDGET(parent));
  height = gtk_widget_get_height(GTK_WIDGET(parent));
  if (width <= 0 || height <= 0) gtk_window_get_default_size(parent, &width, &height);
  if (width <= 0) width = 800;
  if (height <= 0) height = 480;
}

// `content` in a scrolled area at most `maxHeight` high, above `buttons`.
GtkWidget* ScrolledAbove(GtkWidget* content, GtkWidget* buttons, int maxHeight) {
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_widget_add_css_class(box, "dialog");
  GtkWidget* scrolled = gtk_scrolled_window_new();
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_propagate_natural_height(GTK_SCROLLED_WINDOW(scrolled), TRUE);
  gtk_scrolled_window_set_max_content_height(GTK_SCROLLED_WINDOW(scrolled),
                                             std::max(maxHeight, kButtonHeight));
  gtk_widget_set_vexpand(scrolled, TRUE);
  gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(scrolled), content);
  gtk_box_append(GTK_BOX(box), scrolled);
  gtk_box_append(GTK_BOX(box), buttons);
  return box;
}

GtkWidget* Button(const char* label) {
  GtkWidget* button = gtk_button_new_with_label(label);
  gtk_widget_set_size_request(button, 120, kButtonHeight);
  return button;
}

GtkWidget* WrappedLabel(const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 60);
  return label;
}

struct Answer {
  std::function<void(bool)> answered;
  bool given = false;
  void Give(bool yes) {
    if (given) return;
    given = true;
    if (answered) answered(yes);
  }
};

}  // namespace

GtkWindow* ShowMessage(GtkWindow* parent, const std::string& title, const std::string& text) {
  GtkWidget* dialog = NewDialog(parent, title);
  int width = 0, height = 0;
  ParentSize(parent, width, height);
  GtkWidget* close = Button("Close");
  gtk_widget_set_halign(close, GTK_ALIGN_END);
  g_signal_connect_swapped(close, "clicked", G_CALLBACK(gtk_window_close), dialog);
  // Buttons, the box's spacing and its padding take the rest of the screen's height.
  const int room = height - 2 * kMargin - kButtonHeight - 64;
  gtk_window_set_child(GTK_WINDOW(dialog), ScrolledAbove(WrappedLabel(text), close, room));
  gtk_window_present(GTK_WINDOW(dialog));
  return GTK_WINDOW(dialog);
}

GtkWindow* ShowKeysHelp(GtkWindow* parent) {
  GtkWidget* dialog = NewDialog(parent, "Keys");
  int width = 0, height = 0;
  ParentSize(parent, width, height);
  // As large as the radio, so a tap beside the panel lands here and closes it.
  gtk_window_set_default_size(GTK_WINDOW(dialog), width, height);
  gtk_window_set_decorated(GTK_WINDOW(dialog), FALSE);
  gtk_widget_add_css_class(dialog, "help-layer");

  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_column_spacing(GTK_GRID(grid), 16);
  gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
  int row = 0;
  for (const KeyBinding& binding : KeyBindings()) {
    if (binding.help[0] == '\0') continue;
    GtkWidget* key = gtk_label_new(binding.name);
    gtk_label_set_xalign(GTK_LABEL(key), 0);
    gtk_widget_set_valign(key, GTK_ALIGN_START);
    gtk_widget_add_css_class(key, "key");
    GtkWidget* what = WrappedLabel(binding.help);
    gtk_widget_set_hexpand(what, TRUE);
    gtk_grid_attach(GTK_GRID(grid), key, 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), what, 1, row, 1, 1);
    ++row;
  }
  GtkWidget* typing = WrappedLabel(
      "On the keyboard screen, Enter confirms and Esc cancels. A frequency takes \".\" or \",\".");
  gtk_grid_attach(GTK_GRID(grid), typing, 0, row, 2, 1);

  GtkWidget* close = Button("Close");
  gtk_widget_set_halign(close, GTK_ALIGN_END);
  g_signal_connect_swapped(close, "clicked", G_CALLBACK(gtk_window_close), dialog);
  GtkWidget* panel = ScrolledAbove(grid, close, height - 2 * kMargin - kButtonHeight - 64);
  gtk_widget_set_size_request(panel, std::min(640, width - 2 * kMargin), -1);
  gtk_widget_set_halign(panel, GTK_ALIGN_CENTER);
  gtk_widget_set_valign(panel, GTK_ALIGN_CENTER);
  gtk_widget_set_margin_top(panel, kMargin);
  gtk_widget_set_margin_bottom(panel, kMargin);

  GtkWidget* layer = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_widget_set_vexpand(panel, TRUE);
  gtk_box_append(GTK_BOX(layer), panel);
  GtkGesture* tap = gtk_gesture_click_new();
  g_signal_connect(
      tap, "released", G_CALLBACK(+[](GtkGestureClick* gesture, int, double x, double y, gpointer) {
        GtkWidget* layer = gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(gesture));
        GtkWidget* panel = gtk_widget_get_first_child(layer);
        GtkWidget* hit = gtk_widget_pick(layer, x, y, GTK_PICK_DEFAULT);
        if (hit == panel || (hit != nullptr && gtk_widget_is_ancestor(hit, panel))) return;
        gtk_window_close(GTK_WINDOW(gtk_widget_get_root(layer)));
      }),
      nullptr);
  gtk_widget_add_controller(layer, GTK_EVENT_CONTROLLER(tap));
  gtk_window_set_child(GTK_WINDOW(dialog), layer);
  gtk_window_present(GTK_WINDOW(dialog));
  return GTK_WINDOW(dialog);
}

GtkWindow* Ask(GtkWindow* parent, const std::string& question,
               std::function<void(bool yes)> answered) {
  GtkWidget* dialog = NewDialog(parent, "Are you sure?");
  auto* answer = new Answer{std::move(answered)};
  g_object_set_data_full(
      G_OBJECT(dialog), "answer", answer,
      +[](gpointer data) { delete static_cast<Answer*>(data); });
  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  gtk_widget_set_halign(buttons, GTK_ALIGN_END);
  for (bool yes : {false, true}) {
    GtkWidget* button = Button(yes ? "Yes" : "No");
    g_object_set_data(G_OBJECT(button), "yes", GINT_TO_POINTER(yes ? 1 : 0));
    g_signal_connect(button, "clicked", G_CALLBACK(+[](GtkButton* b, gpointer window) {
                       auto* a =
                           static_cast<Answer*>(g_object_get_data(G_OBJECT(window), "answer"));
                       a->Give(g_object_get_data(G_OBJECT(b), "yes") != nullptr);
                       gtk_window_close(GTK_WINDOW(window));
                     }),
                     dialog);
    gtk_box_append(GTK_BOX(buttons), button);
  }
  g_signal_connect(
      dialog, "close-request", G_CALLBACK(+[](GtkWindow* window, gpointer) {
        static_cast<Answer*>(g_object_get_data(G_OBJECT(window), "answer"))->Give(false);
        return FALSE;
      }),
      nullptr);
  GtkWidget* label = WrappedLabel(question);
  gtk_widget_add_css_class(label, "question");
  gtk_window_set_child(GTK_WINDOW(dialog), ScrolledAbove(label, buttons, 240));
  gtk_window_present(GTK_WINDOW(dialog));
  return GTK_WINDOW(dialog);
}

}  // namespace host::gtk
