#include "radio_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "radio_app.h"
#include "skin.h"

namespace gtktest {

std::string ShownText(GtkWidget* widget) {
  std::string text;
  if (GTK_IS_LABEL(widget)) text = std::string(gtk_label_get_text(GTK_LABEL(widget))) + "\n";
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
       child = gtk_widget_get_next_sibling(child))
    text += ShownText(child);
  return text;
}

std::vector<GtkWidget*> ActionButtons(GtkWidget* root) {
  std::vector<GtkWidget*> found;
  for (GtkWidget* child = gtk_widget_get_first_child(root); child != nullptr;
       child = gtk_widget_get_next_sibling(child)) {
    if (GTK_IS_BUTTON(child) && gtk_actionable_get_action_name(GTK_ACTIONABLE(child)) != nullptr)
      found.push_back(child);
    for (GtkWidget* inner : ActionButtons(child)) found.push_back(inner);
  }
  return found;
}

Scratch::Scratch() {
  char* made = g_dir_make_tmp("halvane-gtk-XXXXXX", nullptr);
  path_ = std::string(made) + "/";
  g_free(made);
}

Scratch::~Scratch() { std::filesystem::remove_all(path_); }

bool RunUntil(const std::function<bool()>& done, int ms) {
  const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(ms) * 1000;
  while (!done()) {
    if (g_get_monotonic_time() > deadline) return false;
    // The radio repaints every 100 ms, so this never sleeps longer than that.
    g_main_context_iteration(nullptr, TRUE);
  }
  return true;
}

void CopyDefaultSkin(const std::string& folder) {
  std::filesystem::copy(host::gtk::DefaultSkinFolder(HALVANE_BIN_DIR), folder,
                        std::filesystem::copy_options::recursive);
}

void EditFile(const std::string& path, const std::string& from, const std::string& to) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  std::string s = text.str();
  const size_t at = s.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  s.replace(at, from.size(), to);
  std::ofstream(path, std::ios::trunc) << s;
}

namespace {

// GTK's warnings and criticals (a layout that asks it for the impossible among them), counted as
// they are written; the writer is the process's one, set once.
int gtkComplaints = 0;

GLogWriterOutput CountingWriter(GLogLevelFlags level, const GLogField* fields, gsize count,
                                gpointer) {
  if ((level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) != 0)
    for (gsize i = 0; i < count; ++i)
      if (g_strcmp0(fields[i].key, "GLIB_DOMAIN") == 0 &&
          g_str_has_prefix(static_cast<const char*>(fields[i].value), "Gtk"))
        ++gtkComplaints;
  return g_log_writer_default(level, fields, count, nullptr);
}

}  // namespace

void RadioTest::SetUp() {
  static const bool counting = (g_log_set_writer_func(CountingWriter, nullptr, nullptr), true);
  (void)counting;
  gtkComplaints = 0;
  gtk_init();
  setenv("HALVANE_CLASS_REGISTRY", (home_.path() + "classes.reg").c_str(), 1);
  unsetenv("HALVANE_STATIONS");
  host_ = std::make_unique<host::RadioHost>(host::ResolveFolders(home_.path()), HALVANE_BIN_DIR);
  host_->sdk().SetVariable("dmartpath", host::gtk::ShippedArtFolder(HALVANE_BIN_DIR));
  host_->sdk().SetVariable("fastmode", "-1");
}

void RadioTest::StartRadio(const std::string& skinFolder) {
  std::string error;
  auto skin = host::gtk::LoadSkin(
      skinFolder.empty() ? host::gtk::DefaultSkinFolder(HALVANE_BIN_DIR) : skinFolder, error);
  ASSERT_TRUE(skin) << error;
  host_->sdk().SetUserVariable("skinpath", skin->folder);
  radio_ = std::make_unique<host::gtk::RadioWindow>(*host_, std::move(skin), nullptr);
  ASSERT_TRUE(radio_->Start(error)) << error;
  gtk_window_present(radio_->window());
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(radio_->window())); }));
}

void RadioTest::TearDown() {
  EXPECT_EQ(gtkComplaints, 0) << "GTK warned (above)";
  if (radio_) radio_->Stop();
  radio_.reset();
  host_.reset();
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

GtkWidget* RadioTest::Widget(const std::string& id, bool keyboard) const {
  const host::gtk::SkinScreen& screen = keyboard ? *radio_->skin().keyboard : *radio_->skin().radio;
  GObject* object = gtk_builder_get_object(screen.builder.get(), id.c_str());
  EXPECT_NE(object, nullptr) << id;
  return GTK_WIDGET(object);
}

std::string RadioTest::Text(const std::string& id, bool keyboard) const {
  GtkWidget* widget = Widget(id, keyboard);
  if (GTK_IS_LABEL(widget)) return gtk_label_get_text(GTK_LABEL(widget));
  if (GTK_IS_BUTTON(widget)) {
    // A button's own label, or the text of the label put in it (a preset's two lines).
    if (const char* label = gtk_button_get_label(GTK_BUTTON(widget))) return label;
    GtkWidget* child = gtk_button_get_child(GTK_BUTTON(widget));
    return GTK_IS_LABEL(child) ? gtk_label_get_text(GTK_LABEL(child)) : "";
  }
  return gtk_editable_get_text(GTK_EDITABLE(widget));
}

bool RadioTest::IsOn(const std::string& id) const {
  return gtk_widget_has_css_class(Widget(id), "on");
}

void RadioTest::Tap(const char* action, GVariant* value, bool keyboard) {
  const host::gtk::SkinScreen& screen = keyboard ? *radio_->skin().keyboard : *radio_->skin().radio;
  // As a button of that screen would: the action found from the screen's own widgets.
  EXPECT_TRUE(gtk_widget_activate_action_variant(screen.root.get(), action, value)) << action;
}

void RadioTest::Command(const char* command, bool keyboard) {
  Tap("radio.command", g_variant_new_string(command), keyboard);
}

void RadioTest::Tune(const char* command, const char* frequency) {
  Command(command);
  ASSERT_TRUE(RunUntil([&] { return Text("label.frequency") == frequency; }))
      << Text("label.frequency") << " " << radio_->lastError();
}

}  // namespace gtktest
