// Skins that fail to load say where and why; bindings nobody answers are named and left as
// designed; every button of the default skin has an accessible label.
#include "skin.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "radio_app.h"
#include "radio_fixture.h"

namespace gtktest {
namespace {

// The line of the first occurrence of `text` in the file, 1-based.
int LineOf(const std::string& path, const std::string& text) {
  std::ifstream in(path);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.find(text) != std::string::npos) return number;
  }
  return 0;
}

TEST(Skin, ASkinThatFailsToLoadSaysFileLineAndReason) {
  gtk_init();
  struct Case {
    const char* file;
    const char* from;
    const char* to;
    const char* reason;
    bool hasLine;
  } cases[] = {
      {"radio_player.ui", "class=\"GtkLevelBar\"", "class=\"GtkNoSuchBar\"", "Invalid object type",
       true},
      {"osk.ui", "</interface>", "</interfac>", "interfac", true},
      {"osk.ui", "id=\"screen\"", "id=\"keys\"", "no top-level widget with the id \"screen\"",
       false},
      {"radio_player.ui", "", "", "No such file", false},
  };
  for (const Case& c : cases) {
    Scratch scratch;
    const std::string folder = scratch.path() + "skin/";
    CopyDefaultSkin(folder);
    const std::string file = folder + c.file;
    int line = 0;
    if (*c.from == '\0') {
      std::remove(file.c_str());
    } else {
      line = LineOf(file, c.from);
      EditFile(file, c.from, c.to);
    }
    std::string error;
    EXPECT_EQ(host::gtk::LoadSkin(folder, error), nullptr) << c.to;
    ASSERT_EQ(error.rfind(file + ":", 0), 0u) << error;
    // GtkBuilder may notice a bad element on the line after its start tag.
    const int said = std::atoi(error.c_str() + file.size() + 1);
    if (c.hasLine)
      EXPECT_TRUE(said == line || said == line + 1) << error << " (line " << line << ")";
    else
      EXPECT_EQ(error.rfind(file + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

// A screen file that is a pipe or a device is refused without waiting or reading; a skin
// reaches no function of the process: a handler it names is connected to nothing and named in
// a warning, and a type function is refused.
TEST(Skin, ASkinCanNeitherHoldTheRadioNorCallIntoIt) {
  gtk_init();
  Scratch scratch;
  const std::string folder = scratch.path() + "skin/";
  CopyDefaultSkin(folder);
  const std::string radio = folder + host::gtk::kRadioScreenFile;
  const std::string saved = radio + ".saved";
  std::rename(radio.c_str(), saved.c_str());
  for (const bool pipe : {true, false}) {
    std::remove(radio.c_str());
    if (pipe)
      ASSERT_EQ(mkfifo(radio.c_str(), 0600), 0);
    else
      ASSERT_EQ(symlink("/dev/zero", radio.c_str()), 0);
    std::string error;
    EXPECT_EQ(host::gtk::LoadSkin(folder, error), nullptr);
    EXPECT_EQ(error, radio + ": not a regular file");
  }
  std::remove(radio.c_str());
  std::rename(saved.c_str(), radio.c_str());

  EditFile(radio, "<object class=\"GtkLabel\" id=\"label.rdsptystring\">",
           "<object class=\"GtkLabel\" id=\"label.rdsptystring\"><signal name=\"notify::label\" "
           "handler=\"abort\"/><signal name=\"notify::label\" handler=\"exit\" swapped=\"yes\"/>");
  std::string error;
  auto skin = host::gtk::LoadSkin(folder, error);
  ASSERT_NE(skin, nullptr) << error;
  EXPECT_EQ(skin->warnings,
            (std::vector<std::string>{
                "radio_player.ui: no signal handler \"abort\"; the signal is left unconnected",
                "radio_player.ui: no signal handler \"exit\"; the signal is left unconnected"}));
  GObject* label = gtk_builder_get_object(skin->radio->builder.get(), "label.rdsptystring");
  ASSERT_NE(label, nullptr);
  gtk_label_set_label(GTK_LABEL(label), "emits notify::label");  // would end the process

  EditFile(radio, "<object class=\"GtkLevelBar\"",
           "<object class=\"GtkLevelBar\" type-func=\"abort\"");
  EXPECT_EQ(host::gtk::LoadSkin(folder, error), nullptr);
  EXPECT_NE(error.find("abort"), std::string::npos) << error;
}

TEST(Skin, TheTagIsTheFileNameAsASkin) {
  EXPECT_EQ(host::gtk::ScreenTag("/s/radio_player.ui"), "radio_player.skin");
  EXPECT_EQ(host::gtk::ScreenTag("osk.ui"), "osk.skin");
}

class SkinBindingTest : public RadioTest {};

TEST_F(SkinBindingTest, AnUnknownKeywordOrActionIsNamedAndTheWidgetLeftAsDesigned) {
  Scratch scratch;
  const std::string folder = scratch.path() + "skin/";
  CopyDefaultSkin(folder);
  EditFile(folder + "radio_player.ui", "<object class=\"GtkLabel\" id=\"label.rdsptystring\">",
           "<object class=\"GtkLabel\" id=\"label.ptyname\"><property name=\"label\">as "
           "designed</property>");
  EditFile(folder + "radio_player.ui", "'seekup'",
           "'seekup'</property><property "
           "name=\"action-name\">radio.seek");
  EditFile(folder + "radio_player.ui", "<object class=\"GtkLevelBar\" id=\"slider.rsignal\">",
           "<object class=\"GtkLevelBar\" id=\"label.rsignal2\">");
  StartRadio(folder);
  const auto& warnings = radio_->skin().warnings;
  auto warned = [&](const std::string& text) {
    for (const std::string& w : warnings)
      if (w.find(text) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(warned("radio_player.ui: \"label.ptyname\": no label \"ptyname\"")) << warnings[0];
  EXPECT_TRUE(warned("no action \"radio.seek\""));
  EXPECT_TRUE(warned("no label \"rsignal2\""));
  radio_->Repaint();
  EXPECT_EQ(Text("label.ptyname"), "as designed");
  EXPECT_EQ(warnings.size(), 3u);
}

// Every button names what it does to a screen reader, even when it shows only a symbol.
TEST(Skin, EveryButtonOfTheDefaultSkinHasAnAccessibleLabel) {
  struct Walk {
    std::vector<std::string> openButtons;  // class of each open object, "" for non-buttons
    std::vector<bool> labelled;
    bool inAccessibility = false;
    int buttons = 0, unlabelled = 0;
  };
  GMarkupParser parser{};
  parser.start_element = [](GMarkupParseContext*, const char* element, const char** names,
                            const char** values, gpointer data, GError**) {
    auto& walk = *static_cast<Walk*>(data);
    std::string cls, name;
    for (int i = 0; names[i] != nullptr; ++i) {
      if (std::string(names[i]) == "class") cls = values[i];
      if (std::string(names[i]) == "name") name = values[i];
    }
    if (std::string(element) == "object") {
      const bool button = cls == "GtkButton" || cls == "GtkToggleButton";
      walk.openButtons.push_back(button ? cls : "");
      walk.labelled.push_back(false);
      walk.buttons += button;
    }
    if (std::string(element) == "accessibility") walk.inAccessibility = true;
    if (walk.inAccessibility && name == "label" && !walk.labelled.empty())
      walk.labelled.back() = true;
  };
  parser.end_element = [](GMarkupParseContext*, const char* element, gpointer data, GError**) {
    auto& walk = *static_cast<Walk*>(data);
    if (std::string(element) == "accessibility") walk.inAccessibility = false;
    if (std::string(element) != "object") return;
    walk.unlabelled += !walk.openButtons.back().empty() && !walk.labelled.back();
    walk.openButtons.pop_back();
    walk.labelled.pop_back();
  };
  for (const char* file : {host::gtk::kRadioScreenFile, host::gtk::kKeyboardScreenFile}) {
    std::stringstream text;
    text << std::ifstream(host::gtk::DefaultSkinFolder(HALVANE_BIN_DIR) + file).rdbuf();
    Walk walk;
    GMarkupParseContext* context =
        g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, &walk, nullptr);
    EXPECT_TRUE(g_markup_parse_context_parse(context, text.str().c_str(), -1, nullptr));
    g_markup_parse_context_free(context);
    EXPECT_GT(walk.buttons, 10) << file;
    EXPECT_EQ(walk.unlabelled, 0) << file;
  }
}

}  // namespace
}  // namespace gtktest
