#include "skin.h"

#include <cstdlib>
#include <cstring>

namespace host::gtk {
namespace {

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsActionKnown(std::string_view name) {
  for (const SkinAction& action : SkinActions())
    if (action.name == name) return true;
  return false;
}

// Whether a widget of this type can show what the binding gives it.
bool Accepts(BindingKind kind, GtkWidget* widget) {
  switch (kind) {
    case BindingKind::Label:
    case BindingKind::Row:
    case BindingKind::Host:
      return GTK_IS_LABEL(widget) || GTK_IS_BUTTON(widget);
    case BindingKind::Indicator:
      return true;
    case BindingKind::Slider:
      return GTK_IS_LEVEL_BAR(widget) || GTK_IS_PROGRESS_BAR(widget);
    case BindingKind::Artwork:
      return GTK_IS_PICTURE(widget) || GTK_IS_IMAGE(widget);
  }
  return false;
}

// Finds the screen's bindings, its preset list and its text; what can't be bound is a warning.
void BindWidgets(SkinScreen& screen, std::vector<std::string>& warnings) {
  const std::string file = BaseName(screen.file);
  GSList* objects = gtk_builder_get_objects(screen.builder.get());
  for (GSList* item = objects; item != nullptr; item = item->next) {
    GObject* object = G_OBJECT(item->data);
    if (!GTK_IS_WIDGET(object)) continue;
    GtkWidget* widget = GTK_WIDGET(object);
    if (GTK_IS_ACTIONABLE(widget)) {
      const char* action = gtk_actionable_get_action_name(GTK_ACTIONABLE(widget));
      if (action != nullptr && std::strncmp(action, "radio.", 6) == 0 && !IsActionKnown(action + 6))
        warnings.push_back(file + ": no action \"" + action + "\"; the button does nothing");
    }
    const char* id = gtk_buildable_get_buildable_id(GTK_BUILDABLE(widget));
    if (id == nullptr) continue;
    if (kPresetListId == id && GTK_IS_LIST_VIEW(widget)) {
      screen.presetList = GTK_LIST_VIEW(widget);
      continue;
    }
    if (kTypedTextId == id && GTK_IS_EDITABLE(widget)) {
      screen.typedText = GTK_EDITABLE(widget);
      continue;
    }
    std::string unknown;
    auto binding = ParseBindingId(id, unknown);
    if (!unknown.empty()) warnings.push_back(file + ": " + unknown);
    if (!binding) continue;
    if (!Accepts(binding->kind, widget)) {
      warnings.push_back(file + ": \"" + id + "\": a " + G_OBJECT_TYPE_NAME(widget) +
                         " can't show it; the widget is left as designed");
      continue;
    }
    screen.bindings.push_back({*binding, widget});
  }
  g_slist_free(objects);
}

std::unique_ptr<SkinScreen> LoadScreen(const std::string& file, std::string& error,
                                       std::vector<std::string>& warnings) {
  auto screen = std::make_unique<SkinScreen>();
  screen->file = file;
  screen->tag = ScreenTag(file);
  screen->builder.reset(gtk_builder_new());
  GError* gerror = nullptr;
  if (!gtk_builder_add_from_file(screen->builder.get(), file.c_str(), &gerror)) {
    error = SkinErrorText(file, gerror);
    g_error_free(gerror);
    return nullptr;
  }
  GObject* root = gtk_builder_get_object(screen->builder.get(), std::string(kScreenId).c_str());
  if (root == nullptr || !GTK_IS_WIDGET(root) || GTK_IS_ROOT(root) ||
      gtk_widget_get_parent(GTK_WIDGET(root)) != nullptr) {
    error = file + ": no top-level widget with the id \"screen\" (a box or grid, not a window)";
    return nullptr;
  }
  screen->root.reset(GTK_WIDGET(g_object_ref(root)));
  BindWidgets(*screen, warnings);
  return screen;
}

void OnStyleError(GtkCssProvider*, GtkCssSection* section, const GError* error, gpointer data) {
  auto* skin = static_cast<Skin*>(data);
  const GtkCssLocation* at = gtk_css_section_get_start_location(section);
  skin->warnings.push_back(std::string(kStyleFile) + ":" + std::to_string(at->lines + 1) + ": " +
                           error->message);
}

}  // namespace

std::string ScreenTag(const std::string& file) {
  std::string name = BaseName(file);
  if (name.size() > 3 && name.compare(name.size() - 3, 3, ".ui") == 0) name.resize(name.size() - 3);
  return name + ".skin";
}

std::string SkinErrorText(const std::string& file, const GError* error) {
  if (error == nullptr) return file + ": unknown error";
  std::string message = error->message;
  // GtkBuilder says "NAME:LINE:COLUMN reason" with the name as it was given.
  if (message.rfind(file + ":", 0) == 0) {
    std::string rest = message.substr(file.size() + 1);
    char* end = nullptr;
    long line = std::strtol(rest.c_str(), &end, 10);
    if (end != rest.c_str() && line > 0) {
      std::string tail = end;
      if (!tail.empty() && tail[0] == ':') {
        std::strtol(tail.c_str() + 1, &end, 10);  // the column
        tail = end;
      }
      while (!tail.empty() && tail[0] == ' ') tail.erase(0, 1);
      return file + ":" + std::to_string(line) + ": " + tail;
    }
  }
  // The XML reader says "Error on line LINE char COLUMN: reason".
  int line = 0, column = 0, used = 0;
  if (std::sscanf(message.c_str(), "Error on line %d char %d: %n", &line, &column, &used) == 2 &&
      used > 0)
    return file + ":" + std::to_string(line) + ": " + message.substr(static_cast<size_t>(used));
  return file + ": " + message;
}

std::unique_ptr<Skin> LoadSkin(const std::string& folder, std::string& error) {
  auto skin = std::make_unique<Skin>();
  skin->folder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  skin->radio = LoadScreen(skin->folder + kRadioScreenFile, error, skin->warnings);
  if (!skin->radio) return nullptr;
  skin->keyboard = LoadScreen(skin->folder + kKeyboardScreenFile, error, skin->warnings);
  if (!skin->keyboard) return nullptr;
  const std::string style = skin->folder + kStyleFile;
  if (g_file_test(style.c_str(), G_FILE_TEST_IS_REGULAR)) {
    skin->style.reset(gtk_css_provider_new());
    g_signal_connect(skin->style.get(), "parsing-error", G_CALLBACK(OnStyleError), skin.get());
    gtk_css_provider_load_from_path(skin->style.get(), style.c_str());
    g_signal_handlers_disconnect_by_data(skin->style.get(), skin.get());
  }
  return skin;
}

}  // namespace host::gtk
