#include "preset_list.h"

namespace host::gtk {
namespace {

void SetupRow(GtkSignalListItemFactory*, GtkListItem* item, gpointer) {
  GtkWidget* label = gtk_label_new(nullptr);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  gtk_widget_add_css_class(label, "preset-row");
  gtk_list_item_set_child(item, label);
}

void BindRow(GtkSignalListItemFactory*, GtkListItem* item, gpointer) {
  auto* row = GTK_STRING_OBJECT(gtk_list_item_get_item(item));
  gtk_label_set_text(GTK_LABEL(gtk_list_item_get_child(item)), gtk_string_object_get_string(row));
}

}  // namespace

PresetList::PresetList(GtkListView* view, ScreenObject& screen,
                       std::function<void(int32_t)> onChosen)
    : view_(view), screen_(screen), onChosen_(std::move(onChosen)) {
  rows_ = gtk_string_list_new(nullptr);
  selection_.reset(gtk_single_selection_new(G_LIST_MODEL(rows_)));
  gtk_single_selection_set_autoselect(selection_.get(), FALSE);
  gtk_single_selection_set_can_unselect(selection_.get(), TRUE);
  gtk_single_selection_set_selected(selection_.get(), GTK_INVALID_LIST_POSITION);
  if (gtk_list_view_get_factory(view_) == nullptr) {
    GtkListItemFactory* factory = gtk_signal_list_item_factory_new();
    g_signal_connect(factory, "setup", G_CALLBACK(SetupRow), nullptr);
    g_signal_connect(factory, "bind", G_CALLBACK(BindRow), nullptr);
    gtk_list_view_set_factory(view_, factory);
    g_object_unref(factory);
  }
  gtk_list_view_set_model(view_, GTK_SELECTION_MODEL(selection_.get()));
  g_signal_connect(selection_.get(), "notify::selected", G_CALLBACK(OnSelected), this);
}

PresetList::~PresetList() {
  g_signal_handlers_disconnect_by_data(selection_.get(), this);
  gtk_list_view_set_model(view_, nullptr);
}

void PresetList::Sync() {
  syncing_ = true;
  const std::vector<std::string>& rows = screen_.list->rows;
  if (rows != shown_) {
    std::vector<const char*> texts;
    texts.reserve(rows.size() + 1);
    for (const std::string& row : rows) texts.push_back(row.c_str());
    texts.push_back(nullptr);
    gtk_string_list_splice(rows_, 0, static_cast<guint>(shown_.size()), texts.data());
    shown_ = rows;
    scrolledTo_ = GTK_INVALID_LIST_POSITION;  // new rows: the highlighted one may be out of view
  }
  const int32_t value = screen_.list->value;
  const guint wanted = value >= 0 && static_cast<size_t>(value) < rows.size()
                           ? static_cast<guint>(value)
                           : GTK_INVALID_LIST_POSITION;
  if (gtk_single_selection_get_selected(selection_.get()) != wanted)
    gtk_single_selection_set_selected(selection_.get(), wanted);
  // Keep the highlighted row in view, once the list is on screen with a size to be scrolled in
  // (mapped but not yet allocated, right after a start, it would not move).
  if (wanted != scrolledTo_ && gtk_widget_get_mapped(GTK_WIDGET(view_)) &&
      gtk_widget_get_height(GTK_WIDGET(view_)) > 0) {
    if (wanted != GTK_INVALID_LIST_POSITION)
      gtk_widget_activate_action(GTK_WIDGET(view_), "list.scroll-to-item", "u", wanted);
    scrolledTo_ = wanted;
  }
  syncing_ = false;
}

void PresetList::OnSelected(GObject*, GParamSpec*, gpointer data) {
  auto* self = static_cast<PresetList*>(data);
  if (self->syncing_) return;
  const guint selected = gtk_single_selection_get_selected(self->selection_.get());
  if (selected == GTK_INVALID_LIST_POSITION) return;
  const auto row = static_cast<int32_t>(selected);
  self->screen_.list->value = row;
  self->screen_.plValue = row;
  self->onChosen_(row);
}

}  // namespace host::gtk
