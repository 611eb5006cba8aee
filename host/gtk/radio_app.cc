#include "radio_app.h"

#include <glib-unix.h>

#include <csignal>
#include <iostream>
#include <memory>

#include "data_lock.h"
#include "folders.h"
#include "installed_paths.h"
#include "mpris.h"
#include "radio_host.h"
#include "radio_window.h"
#include "screenshot.h"

namespace host::gtk {
namespace {

bool IsFolder(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_IS_DIR); }

std::string FirstFolder(std::initializer_list<std::string> candidates) {
  for (const std::string& c : candidates)
    if (IsFolder(c)) return c;
  return "";
}

struct App {
  const RadioOptions& options;
  std::unique_ptr<RadioHost> host;
  std::unique_ptr<RadioWindow> window;
  std::unique_ptr<Mpris> mpris;  // the desktop's media interface while the radio runs
  int status = 0;
  int screenshotTries = 0;
};

std::unique_ptr<Skin> ChooseSkin(const RadioOptions& options, const std::string& defaultFolder) {
  std::string error;
  if (!options.skin.empty()) {
    if (auto skin = LoadSkin(options.skin, error)) return skin;
    std::cerr << "halvane-radio: " << error << "; using the default skin\n";
  }
  if (defaultFolder.empty()) {
    std::cerr << "halvane-radio: the default skin is not installed beside the program\n";
    return nullptr;
  }
  auto skin = LoadSkin(defaultFolder, error);
  if (!skin) std::cerr << "halvane-radio: " << error << "\n";
  return skin;
}

void Quit(App& app) {
  // Gone from the screen at once; stopping the tuner and saving take their time after.
  GtkWidget* window = GTK_WIDGET(app.window->window());
  gtk_widget_set_visible(window, FALSE);
  gdk_display_flush(gtk_widget_get_display(window));
  app.mpris.reset();
  app.window->Stop();
  g_application_quit(g_application_get_default());
}

// SIGINT, SIGTERM and SIGHUP close the radio as the close button does, so the presets are saved.
gboolean OnSignal(gpointer data) {
  auto& app = *static_cast<App*>(data);
  if (app.window) Quit(app);
  return G_SOURCE_CONTINUE;
}

gboolean OnCloseRequest(GtkWindow*, gpointer data) {
  Quit(*static_cast<App*>(data));
  return TRUE;  // the window is destroyed with the RadioWindow, after the loop
}

constexpr guint kScreenshotRetryMs = 50;
constexpr int kScreenshotTries = 200;  // ten seconds for the first frame

gboolean OnScreenshotDue(gpointer data) {
  auto& app = *static_cast<App*>(data);
  app.window->Repaint();
  std::string error;
  GtkWidget* content = gtk_window_get_child(app.window->window());
  if (!SaveScreenshot(content, app.options.screenshot, error)) {
    // The first frame may still be on its way: wait for it, a while.
    if (++app.screenshotTries < kScreenshotTries) {
      g_timeout_add(kScreenshotRetryMs, OnScreenshotDue, &app);
      return G_SOURCE_REMOVE;
    }
    std::cerr << "halvane-radio: " << error << "\n";
    app.status = 1;
  }
  Quit(app);
  return G_SOURCE_REMOVE;
}

void OnActivate(GtkApplication* gtkApp, gpointer data) {
  auto& app = *static_cast<App*>(data);
  if (app.window) return;
  const std::string program = ProgramFolder();
  auto skin = ChooseSkin(app.options, DefaultSkinFolder(program));
  if (!skin) {
    app.status = 1;
    return;
  }
  for (const std::string& warning : skin->warnings)
    std::cerr << "halvane-radio: " << skin->folder << warning << "\n";

  RadioHost& host = *app.host;
  // The mute pictures are the skin's; the station pictures the user's, or the shipped examples
  // until the user has some.
  host.sdk().SetUserVariable("skinpath", skin->folder);
  if (!IsFolder(host.folders().art + "RadioArt"))
    if (std::string shipped = ShippedArtFolder(program); !shipped.empty())
      host.sdk().SetVariable("dmartpath", shipped);
  for (const auto& [name, value] : app.options.variables) host.sdk().SetVariable(name, value);

  app.window = std::make_unique<RadioWindow>(host, std::move(skin), gtkApp);
  g_signal_connect(app.window->window(), "close-request", G_CALLBACK(OnCloseRequest), &app);
  app.window->SetNight(app.options.night);
  std::string error;
  if (!app.window->Start(error)) {
    std::cerr << "halvane-radio: can't create the radio: " << error << "\n";
    app.status = 1;
    // The window holds the application: end it, or it would wait for a window never shown.
    g_application_quit(G_APPLICATION(gtkApp));
    return;
  }
  // Media keys and the desktop's media widget: told after every repaint, heard on GTK's loop.
  app.mpris = std::make_unique<Mpris>(host, g_main_context_default(), "halvane-radio", std::cerr);
  app.mpris->onAction = [&app] { app.window->Repaint(); };
  app.mpris->onCommand = [&app](const std::string& command) {
    app.window->session().Heard(command);
  };
  app.window->afterRepaint = [&app] {
    if (app.mpris) app.mpris->Refresh();
  };
  for (const std::string& command : app.options.commands) app.window->Command(command, false);
  for (const std::string& tap : app.options.taps)
    if (!gtk_widget_activate_action_variant(app.window->skin().radio->root.get(),
                                            ("radio." + tap).c_str(), nullptr))
      std::cerr << "halvane-radio: no action \"radio." << tap << "\" without a target\n";
  if (app.options.typed) app.window->Type(*app.options.typed);
  gtk_window_present(app.window->window());
  if (!app.options.screenshot.empty())
    g_timeout_add(static_cast<guint>(app.options.afterMs), OnScreenshotDue, &app);
}

}  // namespace

std::string DefaultSkinFolder(const std::string& programFolder) {
  return FirstFolder(
      {programFolder + "skins/default/", programFolder + "../share/halvane/skins/default/"});
}

std::string ShippedArtFolder(const std::string& programFolder) {
  return FirstFolder({programFolder + "art/", programFolder + "../share/halvane/art/"});
}

int RunRadioApp(const RadioOptions& options) {
  Folders folders = ResolveFolders(options.home);
  // One radio per data folder, held until the process ends.
  std::string why;
  const std::unique_ptr<DataLock> lock = ClaimDataFolder(folders, why);
  if (!lock) {
    std::cerr << "halvane-radio: " << why << "\n";
    return 1;
  }
  App app{options, nullptr, nullptr, nullptr, 0, 0};
  app.host = std::make_unique<RadioHost>(std::move(folders), DriverHostFolder(ProgramFolder()));
  // Station pictures are PNG files; the plug-in tries ".png" only with fast mode at -1.
  app.host->sdk().SetVariable("fastmode", "-1");

  // No application id: the desktop then knows the window by the program's name, which is the
  // name of its desktop entry (halvane-radio.desktop).
  GtkApplication* gtkApp = gtk_application_new(nullptr, G_APPLICATION_NON_UNIQUE);
  g_signal_connect(gtkApp, "activate", G_CALLBACK(OnActivate), &app);
  char name[] = "halvane-radio";
  char* argv[] = {name, nullptr};
  guint signals[] = {g_unix_signal_add(SIGINT, OnSignal, &app),
                     g_unix_signal_add(SIGTERM, OnSignal, &app),
                     g_unix_signal_add(SIGHUP, OnSignal, &app)};
  const int status = g_application_run(G_APPLICATION(gtkApp), 1, argv);
  for (guint s : signals) g_source_remove(s);
  app.window.reset();
  g_object_unref(gtkApp);
  app.host.reset();
  return status != 0 ? status : app.status;
}

}  // namespace host::gtk
