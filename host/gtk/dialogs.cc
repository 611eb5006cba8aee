#include "dialogs.h"

#include <algorithm>

#include "key_bindings.h"

namespace host::gtk {
namespace {

constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 56;
constexpr int kMargin = 16;       // kept free around a panel on the radio's screen
constexpr int kPanelWidth = 640;  // at most; a panel is never wider than the screen

GtkWidget* Button(const char* label) {
  GtkWidget* button = gtk_button_new_with_label(label);
  gtk_widget_set_size_request(button, kButtonWidth, kButtonHeight);
  return button;
}

GtkWidget* WrappedLabel(const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  // A natural width keeps GTK from asking a wrapping label for its height at any width.
  gtk_label_set_max_width_chars(GTK_LABEL(label), 60);
  gtk_label_set_width_chars(GTK_LABEL(label), 20);
  return label;
}

GtkWidget* ButtonRow() {
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  gtk_widget_set_halign(row, GTK_ALIGN_END);
  return row;
}

// Calls `each` for every button under `root`.
template <class Each>
void ForEachButton(GtkWidget* root, const Each& each) {
  for (GtkWidget* child = gtk_widget_get_first_child(root); child != nullptr;
       child = gtk_widget_get_next_sibling(child)) {
    if (GTK_IS_BUTTON(child)) each(child);
    ForEachButton(child, each);
  }
}

// The key and tap of each line of the radio's keys, with what they do.
GtkWidget* KeysGrid() {
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_column_spacing(GTK_GRID(grid), 16);
  gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
  int row = 0;
  for (const char* head : {"Key", "Tap", "Does"}) {
    GtkWidget* label = gtk_label_new(head);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_widget_add_css_class(label, "help-head");
    gtk_grid_attach(GTK_GRID(grid), label, row++, 0, 1, 1);
  }
  row = 1;
  for (const KeyBinding& binding : KeyBindings()) {
    if (binding.help[0] == '\0') continue;
    int column = 0;
    for (const char* text : {binding.name, binding.tap}) {
      GtkWidget* label = gtk_label_new(text);
      gtk_label_set_xalign(GTK_LABEL(label), 0);
      gtk_widget_set_valign(label, GTK_ALIGN_START);
      gtk_widget_add_css_class(label, "key");
      gtk_grid_attach(GTK_GRID(grid), label, column++, row, 1, 1);
    }
    GtkWidget* what = WrappedLabel(binding.help);
    gtk_widget_set_hexpand(what, TRUE);
    gtk_grid_attach(GTK_GRID(grid), what, column, row, 1, 1);
    ++row;
  }
  GtkWidget* typing = WrappedLabel(
      "On the keyboard screen, Enter confirms and Esc cancels. A frequency takes \".\" or \",\". "
      "Hold an empty preset button to store the station there.");
  gtk_grid_attach(GTK_GRID(grid), typing, 0, row, 3, 1);
  return grid;
}

}  // namespace

Sheets::Sheets(GtkOverlay* overlay, GActionGroup* actions) : overlay_(overlay), actions_(actions) {}

Sheets::~Sheets() {
  answered_ = nullptr;
  onChange = nullptr;
  Close();
}

void Sheets::Show(const std::string& title, GtkWidget* body, GtkWidget* buttons) {
  Close();
  title_ = title;
  // The layer takes every tap over the radio; one beside the panel closes it.
  layer_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_widget_add_css_class(layer_, "sheet-layer");
  gtk_widget_insert_action_group(layer_, "radio", actions_);
  panel_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_widget_add_css_class(panel_, "dialog");
  gtk_widget_set_halign(panel_, GTK_ALIGN_CENTER);
  gtk_widget_set_valign(panel_, GTK_ALIGN_CENTER);
  gtk_widget_set_vexpand(panel_, TRUE);
  for (auto margin : {&gtk_widget_set_margin_top, &gtk_widget_set_margin_bottom,
                      &gtk_widget_set_margin_start, &gtk_widget_set_margin_end})
    margin(panel_, kMargin);
  const int width = gtk_widget_get_width(GTK_WIDGET(overlay_));
  const int height = gtk_widget_get_height(GTK_WIDGET(overlay_));
  const int screenWidth = width > 0 ? width : 800, screenHeight = height > 0 ? height : 480;
  gtk_widget_set_size_request(panel_, std::min(kPanelWidth, screenWidth - 2 * kMargin), -1);

  GtkWidget* heading = gtk_label_new(title.c_str());
  gtk_label_set_xalign(GTK_LABEL(heading), 0);
  gtk_widget_add_css_class(heading, "dialog-title");
  gtk_box_append(GTK_BOX(panel_), heading);
  auto* scrolled = GTK_SCROLLED_WINDOW(gtk_scrolled_window_new());
  scrolled_ = scrolled;
  gtk_scrolled_window_set_policy(scrolled, GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
  // A scroll bar always in view says that there is more below.
  gtk_scrolled_window_set_overlay_scrolling(scrolled, FALSE);
  gtk_scrolled_window_set_propagate_natural_height(scrolled, TRUE);
  // The title, the buttons, the spacing and the padding take the rest of the screen's height.
  gtk_scrolled_window_set_max_content_height(
      scrolled, std::max(kButtonHeight, screenHeight - 2 * kMargin - kButtonHeight - 110));
  gtk_widget_set_vexpand(GTK_WIDGET(scrolled), TRUE);
  gtk_scrolled_window_set_child(scrolled, body);
  gtk_box_append(GTK_BOX(panel_), GTK_WIDGET(scrolled));
  gtk_box_append(GTK_BOX(panel_), buttons);
  gtk_box_append(GTK_BOX(layer_), panel_);

  GtkGesture* tap = gtk_gesture_click_new();
  g_signal_connect(
      tap, "released",
      G_CALLBACK(+[](GtkGestureClick* gesture, int, double x, double y, gpointer data) {
        auto* self = static_cast<Sheets*>(data);
        GtkWidget* layer = gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(gesture));
        GtkWidget* hit = gtk_widget_pick(layer, x, y, GTK_PICK_DEFAULT);
        if (hit == self->panel_ || (hit != nullptr && gtk_widget_is_ancestor(hit, self->panel_)))
          return;
        self->Close();
      }),
      this);
  gtk_widget_add_controller(layer_, GTK_EVENT_CONTROLLER(tap));
  gtk_overlay_add_overlay(overlay_, layer_);
  if (onChange) onChange(true);
}

void Sheets::ShowMessage(const std::string& title, const std::string& text) {
  GtkWidget* buttons = ButtonRow();
  GtkWidget* close = Button("Close");
  g_signal_connect_swapped(close, "clicked", G_CALLBACK(+[](Sheets* self) { self->Close(); }),
                           this);
  gtk_box_append(GTK_BOX(buttons), close);
  Show(title, WrappedLabel(text), buttons);
}

void Sheets::ShowHelp() {
  GtkWidget* buttons = ButtonRow();
  GtkWidget* close = Button("Close");
  g_signal_connect_swapped(close, "clicked", G_CALLBACK(+[](Sheets* self) { self->Close(); }),
                           this);
  gtk_box_append(GTK_BOX(buttons), close);
  Show("Keys and taps", KeysGrid(), buttons);
}

void Sheets::Ask(const std::string& question, std::function<void(bool yes)> answered) {
  GtkWidget* buttons = ButtonRow();
  for (bool yes : {false, true}) {
    GtkWidget* button = Button(yes ? "Yes" : "No");
    if (yes) gtk_widget_add_css_class(button, "confirm");
    g_signal_connect_swapped(button, "clicked",
                             G_CALLBACK(yes ? +[](Sheets* self) { self->Answer(true); }
                                            : +[](Sheets* self) { self->Answer(false); }),
                             this);
    gtk_box_append(GTK_BOX(buttons), button);
  }
  GtkWidget* label = WrappedLabel(question);
  gtk_widget_add_css_class(label, "question");
  Show("Are you sure?", label, buttons);
  answered_ = std::move(answered);
}

void Sheets::ShowPanel(const std::string& title, GtkWidget* content) {
  GtkWidget* buttons = ButtonRow();
  GtkWidget* close = Button("Close");
  g_signal_connect_swapped(close, "clicked", G_CALLBACK(+[](Sheets* self) { self->Close(); }),
                           this);
  gtk_box_append(GTK_BOX(buttons), close);
  g_object_ref(content);
  if (gtk_widget_get_parent(content) != nullptr) gtk_widget_unparent(content);
  Show(title, content, buttons);
  content_ = content;
  // A tap on one of its buttons does what the button says, and the panel goes (unless the
  // button opened another panel in its place).
  ForEachButton(content, [this](GtkWidget* button) {
    g_signal_connect_after(
        button, "clicked", G_CALLBACK(+[](GtkButton* b, gpointer data) {
          auto* self = static_cast<Sheets*>(data);
          if (self->content_ != nullptr && gtk_widget_is_ancestor(GTK_WIDGET(b), self->content_))
            self->Close();
        }),
        this);
  });
}

void Sheets::Answer(bool yes) {
  std::function<void(bool)> answered = std::move(answered_);
  answered_ = nullptr;
  Close();
  if (answered) answered(yes);
}

bool Sheets::PressKey(guint keyval) {
  if (!open()) return false;
  if (answered_) {
    if (keyval == GDK_KEY_y || keyval == GDK_KEY_Y || keyval == GDK_KEY_Return ||
        keyval == GDK_KEY_KP_Enter)
      Answer(true);
    else if (keyval == GDK_KEY_n || keyval == GDK_KEY_N || keyval == GDK_KEY_Escape)
      Answer(false);
    return true;
  }
  GtkAdjustment* adjustment = gtk_scrolled_window_get_vadjustment(scrolled_);
  const double page = gtk_adjustment_get_page_size(adjustment);
  const double line = std::max(24.0, page / 10);
  double step = 0;
  switch (keyval) {
    case GDK_KEY_Up:
      step = -line;
      break;
    case GDK_KEY_Down:
      step = line;
      break;
    case GDK_KEY_Page_Up:
      step = -page;
      break;
    case GDK_KEY_Page_Down:
      step = page;
      break;
    case GDK_KEY_Escape:
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      Close();
      return true;
    default:
      return true;
  }
  gtk_adjustment_set_value(adjustment, gtk_adjustment_get_value(adjustment) + step);
  return true;
}

void Sheets::Close() {
  if (layer_ == nullptr) return;
  // A question closed otherwise is answered No.
  if (answered_) return Answer(false);
  GtkWidget* layer = layer_;
  GtkWidget* content = content_;
  layer_ = panel_ = content_ = nullptr;
  scrolled_ = nullptr;
  title_.clear();
  if (content != nullptr) {
    g_signal_handlers_disconnect_matched(content, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr,
                                         this);
    ForEachButton(
        content, [this](GtkWidget* button) { g_signal_handlers_disconnect_by_data(button, this); });
    gtk_scrolled_window_set_child(
        GTK_SCROLLED_WINDOW(gtk_widget_get_ancestor(content, GTK_TYPE_SCROLLED_WINDOW)), nullptr);
  }
  gtk_overlay_remove_overlay(overlay_, layer);
  if (content != nullptr) g_object_unref(content);
  if (onChange) onChange(false);
}

}  // namespace host::gtk
