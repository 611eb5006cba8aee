#include "skin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace host::gtk {
namespace {

// A screen file larger than this is no skin.
constexpr off_t kLargestScreenFile = 4 * 1024 * 1024;

// Why the screen file at `file` is not read ("" when it may be, or is missing: the builder says
// so in its own words). Opening never waits, so a pipe can't hold the radio.
std::string RefusedScreenFile(const std::string& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? "" : file + ": " + std::strerror(errno);
  struct stat info {};
  const bool read = fstat(fd, &info) == 0;
  close(fd);
  if (!read || !S_ISREG(info.st_mode)) return file + ": not a regular file";
  if (info.st_size > kLargestScreenFile)
    return file + ": larger than " + std::to_string(kLargestScreenFile) + " bytes";
  return "";
}

// The builder's scope for skin files. A skin is a shared file that anyone may have written, so
// it reaches no function of the process: a signal handler it names is connected to nothing
// (the radio has no handlers of its own to offer) and said in a warning, a type function is
// refused, and a class resolves only to a type already known or to one of the toolkit's.
struct SkinScope {
  GObject parent;
  std::vector<std::string>* handlers;  // the names asked for while loading
};
struct SkinScopeClass {
  GObjectClass parent;
};

using TypeFromName = GType (*)(GtkBuilderScope*, GtkBuilder*, const char*);
TypeFromName toolkitTypeFromName = nullptr;
GtkBuilderScope* toolkitScope = nullptr;

GType ScopeTypeFromName(GtkBuilderScope*, GtkBuilder* builder, const char* name) {
  const GType known = g_type_from_name(name);
  if (known != G_TYPE_INVALID) return known;
  if (std::strncmp(name, "Gtk", 3) != 0 || toolkitTypeFromName == nullptr) return G_TYPE_INVALID;
  return toolkitTypeFromName(toolkitScope, builder, name);
}

GType ScopeTypeFromFunction(GtkBuilderScope*, GtkBuilder*, const char*) { return G_TYPE_INVALID; }

void DoNothing(GClosure*, GValue*, guint, const GValue*, gpointer, gpointer) {}

GClosure* ScopeCreateClosure(GtkBuilderScope* scope, GtkBuilder*, const char* name,
                             GtkBuilderClosureFlags, GObject*, GError**) {
  auto* self = reinterpret_cast<SkinScope*>(scope);
  if (self->handlers != nullptr) self->handlers->push_back(name);
  GClosure* closure = g_closure_new_simple(sizeof(GClosure), nullptr);
  g_closure_set_marshal(closure, DoNothing);
  return closure;
}

void InitScope(gpointer iface, gpointer) {
  auto* scope = static_cast<GtkBuilderScopeInterface*>(iface);
  scope->get_type_from_name = ScopeTypeFromName;
  scope->get_type_from_function = ScopeTypeFromFunction;
  scope->create_closure = ScopeCreateClosure;
}

GType SkinScopeType() {
  static const GType type = [] {
    toolkitScope = gtk_builder_cscope_new();
    toolkitTypeFromName = GTK_BUILDER_SCOPE_GET_IFACE(toolkitScope)->get_type_from_name;
    const GType t =
        g_type_register_static_simple(G_TYPE_OBJECT, "HalvaneSkinScope", sizeof(SkinScopeClass),
                                      nullptr, sizeof(SkinScope), nullptr, GTypeFlags{});
    const GInterfaceInfo info{InitScope, nullptr, nullptr};
    g_type_add_interface_static(t, GTK_TYPE_BUILDER_SCOPE, &info);
    return t;
  }();
  return type;
}

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
  if (error = RefusedScreenFile(file); !error.empty()) return nullptr;
  screen->builder.reset(gtk_builder_new());
  auto* scope = static_cast<SkinScope*>(g_object_new(SkinScopeType(), nullptr));
  std::vector<std::string> handlers;
  scope->handlers = &handlers;
  gtk_builder_set_scope(screen->builder.get(), reinterpret_cast<GtkBuilderScope*>(scope));
  GError* gerror = nullptr;
  const bool loaded = gtk_builder_add_from_file(screen->builder.get(), file.c_str(), &gerror);
  scope->handlers = nullptr;
  g_object_unref(scope);
  for (const std::string& handler : handlers)
    warnings.push_back(BaseName(file) + ": no signal handler \"" + handler +
                       "\"; the signal is left unconnected");
  if (!loaded) {
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
