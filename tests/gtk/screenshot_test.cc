// halvane-radio run as a program: --screenshot draws the default skin into a PNG that is not
// blank, for the radio screen and the keyboard screen, and a broken skin gives way to the default
// one after saying where it broke.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <set>

#include "radio_fixture.h"

namespace gtktest {
namespace {

struct RadioRun {
  int status = -1;
  std::string errors;
};

RadioRun RunRadio(const Scratch& home, std::vector<std::string> args,
                  const std::string& registry = "") {
  // A radio that never ends fails the test within a minute rather than hang it.
  args.insert(args.begin(), {"timeout", "60", HALVANE_RADIO_PROGRAM, "--home", home.path()});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  gchar** env = g_get_environ();
  env = g_environ_setenv(env, "HALVANE_CLASS_REGISTRY",
                         (registry.empty() ? home.path() + "classes.reg" : registry).c_str(), 1);
  gchar* err = nullptr;
  RadioRun run;
  GError* error = nullptr;
  EXPECT_TRUE(
      g_spawn_sync(nullptr, argv.data(), env,
                   static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL),
                   nullptr, nullptr, nullptr, &err, &run.status, &error));
  g_strfreev(env);
  if (error != nullptr) g_error_free(error);
  run.errors = err != nullptr ? err : "";
  g_free(err);
  return run;
}

// The number of different colours in the picture; 0 when it can't be read.
size_t Colours(const std::string& png, int& width, int& height) {
  GdkTexture* texture = gdk_texture_new_from_filename(png.c_str(), nullptr);
  if (texture == nullptr) return 0;
  width = gdk_texture_get_width(texture);
  height = gdk_texture_get_height(texture);
  std::vector<guint32> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  gdk_texture_download(texture, reinterpret_cast<guchar*>(pixels.data()),
                       static_cast<gsize>(width) * 4);
  g_object_unref(texture);
  return std::set<guint32>(pixels.begin(), pixels.end()).size();
}

TEST(Screenshot, TheDefaultSkinIsDrawnNotBlank) {
  gtk_init();
  struct Case {
    std::vector<std::string> args;
    bool brokenSkin;
    bool presets = false;  // a full list, as learning leaves it
  } cases[] = {
      {{"--command", "rtune;104.5"}, false},
      {{"--command", "addpreset", "--type", "MORNING", "--night"}, false},
      {{}, true},
      // RadioText and a song arriving beside full preset buttons: a layout GTK can honour.
      {{"--command", "rtune;106.2", "--command", "rtune;abc"}, false, true},
  };
  for (const Case& c : cases) {
    Scratch home;
    if (c.presets) {
      g_mkdir_with_parents((home.path() + "data").c_str(), 0700);
      g_file_set_contents((home.path() + "data/Radio.ini").c_str(),
                          "10620|0|0\r\n8750,Lowend\r\n8930,NORDWAVE WITH A LONG NAME\r\n"
                          "9120,Foghorn Coast\r\n9580,Traffic\r\n10450,Jazz 104\r\n10620,COUNTRY"
                          "\r\n9990,Seven\r\n",
                          -1, nullptr);
    }
    std::vector<std::string> args = c.args;
    if (c.brokenSkin) {
      CopyDefaultSkin(home.path() + "skin/");
      EditFile(home.path() + "skin/radio_player.ui", "<interface>", "<interface><object>");
      args.insert(args.end(), {"--skin", home.path() + "skin"});
    }
    const std::string png = home.path() + "shot.png";
    args.insert(args.end(), {"--screenshot", png, "--after", c.presets ? "4000" : "700"});
    RadioRun run = RunRadio(home, args);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors.find("-CRITICAL"), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find("Gtk-WARNING"), std::string::npos) << run.errors;
    int width = 0, height = 0;
    EXPECT_GT(Colours(png, width, height), 50u) << run.errors;
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 480);
    if (c.brokenSkin) {
      EXPECT_NE(run.errors.find(home.path() + "skin/radio_player.ui:"), std::string::npos)
          << run.errors;
      EXPECT_NE(run.errors.find("using the default skin"), std::string::npos) << run.errors;
    }
  }
}

}  // namespace
}  // namespace gtktest
