// The radio by touch: a tap for every key, the row a rename is about, the FM/AM switch, a long
// press that stores the station.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "key_bindings.h"
#include "radio_fixture.h"

namespace gtktest {
namespace {

using RadioTouchTest = RadioTest;

// Whatever a key does, a button of the radio screen or of its More panel does too.
TEST_F(RadioTouchTest, EveryKeyHasATap) {
  StartRadio();
  GtkBuilder* builder = radio_->skin().radio->builder.get();
  std::vector<GtkWidget*> buttons = ActionButtons(radio_->skin().radio->root.get());
  for (GtkWidget* inner : ActionButtons(GTK_WIDGET(gtk_builder_get_object(builder, "more"))))
    buttons.push_back(inner);
  const auto tapped = [&](const char* action, const std::string& target) {
    return std::any_of(buttons.begin(), buttons.end(), [&](GtkWidget* b) {
      GVariant* value = gtk_actionable_get_action_target_value(GTK_ACTIONABLE(b));
      const std::string shown = value == nullptr ? ""
                                : g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)
                                    ? g_variant_get_string(value, nullptr)
                                    : std::to_string(g_variant_get_int32(value));
      return g_strcmp0(gtk_actionable_get_action_name(GTK_ACTIONABLE(b)), action) == 0 &&
             (target.empty() || shown == target);
    });
  };
  for (const host::KeyBinding& key : host::KeyBindings()) {
    const bool typed = key.key > ' ' && key.key < 0x7F;
    const std::string letter = typed ? std::string(1, static_cast<char>(key.key)) : "";
    bool found = typed && tapped("radio.key", letter);
    switch (key.action) {
      case host::KeyAction::Command:
        found = found || tapped("radio.command", key.command);
        break;
      case host::KeyAction::RecallPreset:
        found = found || tapped("radio.recall", std::to_string(key.preset)) ||
                radio_->skin().radio->presetList != nullptr;
        break;
      case host::KeyAction::HighlightUp:
      case host::KeyAction::HighlightDown:
      case host::KeyAction::RecallHighlight:
        found = radio_->skin().radio->presetList != nullptr;  // a tap on its row
        break;
      case host::KeyAction::VolumeUp:
        found = tapped("radio.volume", std::to_string(host::kVolumeStep));
        break;
      case host::KeyAction::VolumeDown:
        found = tapped("radio.volume", std::to_string(-host::kVolumeStep));
        break;
      case host::KeyAction::Help:
        found = found || tapped("radio.help", "");
        break;
      case host::KeyAction::Traffic:
        found = found || tapped("radio.traffic", "");
        break;
      case host::KeyAction::Quit:
        found = found || tapped("radio.quit", "");
        break;
      default:
        break;
    }
    EXPECT_TRUE(found) << key.name;
    if (key.help[0] != '\0') {
      EXPECT_STRNE(key.tap, "") << key.name;
    }
  }
}

// Rename acts on the row the person chose, though another preset plays and the plug-in
// highlights the playing one after each command and tick; the first key replaces the offered
// name each time the keyboard opens.
TEST_F(RadioTouchTest, RenameOffersAndRenamesTheChosenRow) {
  std::filesystem::create_directories(home_.path() + "data");
  std::ofstream(home_.path() + "data/Radio.ini", std::ios::binary)
      << "10620|0|0\r\n8930,NORDWAVE\r\n10620,COUNTRY\r\n";
  StartRadio();
  ASSERT_EQ(Text("label.preset"), "Preset 2");
  GtkEditable* typed = radio_->skin().keyboard->typedText;
  for (bool cancel : {true, false}) {
    radio_->PressKey(GDK_KEY_Up);
    radio_->PressKey(GDK_KEY_e);
    ASSERT_TRUE(radio_->KeyboardShown());
    RunUntil([] { return false; }, 300);  // ticks while the keyboard is open
    EXPECT_STREQ(gtk_editable_get_text(typed), "NORDWAVE");
    EXPECT_EQ(host_->radioScreen->list->value, 0);
    if (cancel) Tap("radio.cancel", nullptr, true);
  }
  EXPECT_TRUE(radio_->PressKey(GDK_KEY_Z));
  EXPECT_STREQ(gtk_editable_get_text(typed), "Z");
  Command("enter", true);
  EXPECT_EQ(Text("row.1"), "Z\n89.3");
  EXPECT_EQ(Text("row.2"), "COUNTRY\n106.2");
}

// The tuner's volume and the FM/AM switch's last frequencies: the last run's from the settings,
// changed by buttons and keys, kept for the next run.
TEST_F(RadioTouchTest, VolumeAndBandsComeFromTheSettingsAndAreKeptThere) {
  std::filesystem::create_directories(home_.path() + "config");
  const std::string settings = home_.path() + "config/halvane-host.ini";
  std::ofstream(settings) << "volume=30\nlast_am=1040\n";
  StartRadio();
  EXPECT_EQ(Text("host.volume"), "30%");
  Tap("radio.volume", g_variant_new_int32(5));
  EXPECT_EQ(Text("host.volume"), "35%");
  radio_->PressKey(GDK_KEY_less);
  radio_->PressKey(GDK_KEY_less);
  EXPECT_EQ(Text("host.volume"), "25%");
  Tap("radio.key", g_variant_new_string("b"));
  EXPECT_EQ(Text("label.frequency"), "1040");
  EXPECT_EQ(Text("label.mhzkhz"), "kHz");
  Tune("rtune;1500", "1500");
  radio_->PressKey(GDK_KEY_b);
  EXPECT_EQ(Text("label.frequency"), "87.5");
  radio_->Stop();
  std::ifstream in(settings);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "volume=25\nlast_am=1500\nlast_fm=8750\n");  // in the file's order, new ones after
}

// A long press on an empty preset button stores the station as the next preset; on a full one it
// stores nothing (the press recalls as a tap does).
TEST_F(RadioTouchTest, ALongPressOnAnEmptyPresetButtonStoresTheStation) {
  StartRadio();
  Tune("rtune;104.5", "104.5");
  ASSERT_TRUE(RunUntil([&] { return Text("label.rdsname") == "JAZZ 104"; }));
  const auto hold = [&](const char* button) {
    GListModel* controllers = gtk_widget_observe_controllers(Widget(button));
    for (guint i = 0; i < g_list_model_get_n_items(controllers); ++i) {
      auto* controller = G_OBJECT(g_list_model_get_item(controllers, i));
      if (GTK_IS_GESTURE_LONG_PRESS(controller))
        g_signal_emit_by_name(controller, "pressed", 10.0, 10.0);
      g_object_unref(controller);
    }
    g_object_unref(controllers);
  };
  hold("row.3");
  EXPECT_EQ(Text("row.1"), "JAZZ 104\n104.5");
  EXPECT_EQ(radio_->lastError(), "Stored as preset 1");
  Tune("rtune;89.3", "89.3");
  hold("row.1");
  EXPECT_EQ(Text("row.2"), "2");
}

}  // namespace
}  // namespace gtktest
