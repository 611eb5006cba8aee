// The radio driven as a person's taps and keys would drive it, checked on the bound widgets.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "radio_fixture.h"

namespace gtktest {
namespace {

class RadioWindowTest : public RadioTest {
 protected:
  void TypeOnKeyboard(const std::string& text) {
    for (char c : text) Tap("radio.type", g_variant_new_string(std::string(1, c).c_str()), true);
  }
};

TEST_F(RadioWindowTest, TheStationShowsOnItsLabelsIndicatorsSignalAndArtwork) {
  StartRadio();
  Tune("rtune;104.5", "104.5");
  ASSERT_TRUE(RunUntil([&] { return Text("label.rdsname") == "JAZZ 104"; }))
      << Text("label.rdsname");
  EXPECT_EQ(Text("label.fmam"), "FM");
  EXPECT_EQ(Text("label.mhzkhz"), "MHz");
  EXPECT_TRUE(IsOn("indicator.stereo"));
  EXPECT_FALSE(IsOn("indicator.radiomute"));
  EXPECT_GT(gtk_level_bar_get_value(GTK_LEVEL_BAR(Widget("slider.rsignal"))), 0);
  // PI 8A04 has its own picture; the mute state its picture from the skin.
  EXPECT_NE(gtk_picture_get_paintable(GTK_PICTURE(Widget("artwork.radioart"))), nullptr);
  EXPECT_NE(gtk_picture_get_paintable(GTK_PICTURE(Widget("artwork.status"))), nullptr);

  Command("radiomute");
  EXPECT_TRUE(IsOn("indicator.radiomute"));
}

// On the SDR tuner, which measures the reception, a weak stereo station shows its quality beside
// the level and what the blend leaves of its stereo beside the stereo indicator.
TEST_F(RadioWindowTest, TheSignalsQualityAndTheBlendShowWhereTheTunerMeasuresThem) {
  const Scratch scratch;
  const std::string config = scratch.path() + "tuner.ini";
  std::ofstream(config) << "backend = sdr\ndevice = synthetic\nrate = 250000\ntone = 1000\n"
                           "cnr = 22\n";
  setenv("HALVANE_TUNER_CONFIG", config.c_str(), 1);
  setenv("PULSE_SERVER", (scratch.path() + "no-sound-server").c_str(), 1);
  StartRadio();
  Tune("rtune;104.5", "104.5");
  EXPECT_TRUE(RunUntil([&] {
    return IsOn("indicator.stereo") && Text("host.quality").starts_with("C/N 2") &&
           !Text("host.blend").empty() && Text("host.blend") != "0%";
  })) << Text("host.quality")
      << " / " << Text("host.blend");
  EXPECT_TRUE(gtk_widget_get_visible(Widget("host.blend")));
  unsetenv("HALVANE_TUNER_CONFIG");
  unsetenv("PULSE_SERVER");
}

TEST_F(RadioWindowTest, APresetNamedOnTheKeyboardScreenIsRecalledByButtonAndList) {
  StartRadio();
  Tune("rtune;104.5", "104.5");
  Command("addpreset");
  ASSERT_TRUE(radio_->KeyboardShown());
  EXPECT_EQ(Text("host.prompt", true), "New preset's name");
  // The name starts as the station's own (its frequency until RDS names it).
  GtkEditable* typed = radio_->skin().keyboard->typedText;
  const std::string prefilled = gtk_editable_get_text(typed);
  EXPECT_TRUE(prefilled == "104.5" || prefilled == "JAZZ 104") << prefilled;
  gtk_editable_set_text(typed, "");
  TypeOnKeyboard("JAZZX");
  Tap("radio.backspace", nullptr, true);
  Command("enter", true);
  EXPECT_FALSE(radio_->KeyboardShown()) << radio_->lastError();
  // The preset's button: its name, and its frequency below.
  EXPECT_EQ(Text("row.1"), "JAZZ\n104.5");
  EXPECT_EQ(Text("row.2"), "2");

  Tune("rtune;89.3", "89.3");
  EXPECT_EQ(Text("label.station"), "");
  Tap("radio.recall", g_variant_new_int32(1));
  EXPECT_EQ(Text("label.frequency"), "104.5");
  EXPECT_EQ(Text("label.station"), "JAZZ");
  EXPECT_EQ(Text("label.preset"), "Preset 1");

  // A tap on the list's row chooses it and recalls its preset.
  Tune("rtune;89.3", "89.3");
  auto* list = GTK_LIST_VIEW(Widget("PL"));
  gtk_single_selection_set_selected(GTK_SINGLE_SELECTION(gtk_list_view_get_model(list)), 0);
  EXPECT_EQ(Text("label.frequency"), "104.5");
  EXPECT_EQ(host_->radioScreen->plValue, 0);
}

TEST_F(RadioWindowTest, ATypedFrequencyTunesAndRefusedTextKeepsTheKeyboardOpen) {
  StartRadio();
  Command("tune");
  // A number pad of three keys by four (digits, the decimal point, delete), OK and Cancel; no
  // letters.
  std::string shown;
  for (GtkWidget* key : ActionButtons(radio_->skin().keyboard->root.get()))
    if (gtk_widget_is_visible(key))
      shown += std::string(gtk_button_get_label(GTK_BUTTON(key))) + " ";
  EXPECT_EQ(shown, "1 2 3 4 5 6 7 8 9 . 0 ⌫ OK Cancel ");
  TypeOnKeyboard("abc");
  Command("enter", true);
  EXPECT_TRUE(radio_->KeyboardShown());
  EXPECT_NE(Text("host.error", true).find("(error 13)"), std::string::npos)
      << Text("host.error", true);
  for (int i = 0; i < 3; ++i) Tap("radio.backspace", nullptr, true);
  TypeOnKeyboard("101.4");
  Command("enter", true);
  EXPECT_FALSE(radio_->KeyboardShown());
  EXPECT_EQ(Text("label.frequency"), "101.4");

  // Cancel drops the request: a later confirmation tunes nothing.
  Command("tune");
  Tap("radio.cancel", nullptr, true);
  EXPECT_FALSE(radio_->KeyboardShown());
  std::string enter = "enter";
  std::shared_ptr<halvane::Dispatch> keyboard = host_->keyboardScreen;
  host_->keyboardScreen->txt[0]->text = "95.8";
  host_->Radio().ProcessCommand(enter, keyboard);
  EXPECT_EQ(host_->Radio().Freq(), 10140);
}

TEST_F(RadioWindowTest, TheTerminalRadiosKeysWork) {
  StartRadio();
  struct Case {
    guint key;
    const char* indicator;
  } toggles[] = {{GDK_KEY_m, "indicator.radiomute"},
                 {GDK_KEY_S, "indicator.seekmode"},
                 {GDK_KEY_P, "indicator.presetmode"}};
  for (const Case& c : toggles) {
    EXPECT_TRUE(radio_->PressKey(c.key));
    EXPECT_TRUE(IsOn(c.indicator)) << c.indicator;
    radio_->PressKey(c.key);
    EXPECT_FALSE(IsOn(c.indicator)) << c.indicator;
  }
  const std::string before = Text("label.frequency");
  radio_->PressKey(GDK_KEY_Page_Up);
  EXPECT_NE(Text("label.frequency"), before);

  radio_->PressKey(GDK_KEY_t);
  EXPECT_TRUE(radio_->KeyboardShown());
  radio_->PressKey(GDK_KEY_Escape);
  EXPECT_FALSE(radio_->KeyboardShown());

  // ":" types any command string.
  radio_->PressKey(GDK_KEY_colon);
  EXPECT_EQ(Text("host.prompt", true), "Command");
  radio_->Type("rtune;95.8");
  Command("enter", true);
  EXPECT_EQ(Text("label.frequency"), "95.8");
  EXPECT_FALSE(radio_->PressKey(GDK_KEY_F12));
}

TEST_F(RadioWindowTest, NightStyleIsAToggle) {
  StartRadio();
  GtkWidget* window = GTK_WIDGET(radio_->window());
  Tap("radio.night", nullptr);
  EXPECT_TRUE(gtk_widget_has_css_class(window, "night"));
  Tap("radio.night", nullptr, true);
  EXPECT_FALSE(gtk_widget_has_css_class(window, "night"));
}

// A tap or a click on any button of either screen reaches its action.
TEST_F(RadioWindowTest, EveryButtonOfBothScreensCanBeTapped) {
  StartRadio();
  for (GtkWidget* root : {radio_->skin().radio->root.get(), radio_->skin().keyboard->root.get()})
    for (GtkWidget* button : ActionButtons(root))
      EXPECT_TRUE(gtk_widget_is_sensitive(button))
          << gtk_actionable_get_action_name(GTK_ACTIONABLE(button)) << " "
          << (gtk_button_get_label(GTK_BUTTON(button)) ?: "");
}

TEST_F(RadioWindowTest, ShiftSwitchesTheLetterKeysBetweenCapitalsAndSmallLetters) {
  StartRadio();
  Command("addpreset");
  const std::vector<GtkWidget*> keys = ActionButtons(radio_->skin().keyboard->root.get());
  const auto showing = [&](const char* face) -> GtkWidget* {
    for (GtkWidget* key : keys)
      if (g_strcmp0(gtk_button_get_label(GTK_BUTTON(key)), face) == 0) return key;
    return nullptr;
  };
  const auto press = [&](const char* face) {
    GtkWidget* key = showing(face);
    ASSERT_NE(key, nullptr) << face;
    g_signal_emit_by_name(key, "clicked");  // a tap
  };
  press("J");
  Tap("radio.shift", nullptr, true);
  EXPECT_EQ(showing("A"), nullptr);
  press("a");
  press("7");  // not a letter: the same in either case
  Tap("radio.shift", nullptr, true);
  press("Z");
  EXPECT_EQ(Text("txt.0", true), "Ja7Z");
}

// A tuner that did not come up: the host's error screen as a dialog, with the driver's reason.
TEST_F(RadioWindowTest, ATunerThatDidNotStartShowsTheErrorScreenWithTheDriversReason) {
  host_->sdk().SetVariable("DMPath", home_.path() + "nodriver/");
  StartRadio();
  EXPECT_EQ(radio_->lastError().rfind("The tuner did not start: ", 0), 0u) << radio_->lastError();
  EXPECT_EQ(Text("label.frequency"), "No tuner");
  EXPECT_EQ(Text("host.error"), radio_->lastError());
  // The error screen is a panel inside the radio's window.
  ASSERT_TRUE(radio_->sheets().open());
  EXPECT_EQ(radio_->sheets().title(), "Device Error");
  // The loader's own words for the missing driver file.
  EXPECT_NE(ShownText(radio_->sheets().panel()).find("The tuner driver says:"), std::string::npos);
}

// The plug-in only logs a preset list it could not save; the radio shows it.
TEST_F(RadioWindowTest, APresetListThatCannotBeSavedIsShown) {
  StartRadio();
  const std::string list = host_->folders().data + "Radio.ini";
  std::filesystem::remove(list);
  std::filesystem::create_directory(list);  // no file can be written there
  Command("addpreset");
  TypeOnKeyboard("LOST");
  Command("enter", true);
  EXPECT_NE(Text("host.error").find("Presets not saved: " + list), std::string::npos)
      << Text("host.error");
  std::filesystem::remove(list);
}

// Every button of both screens is a touch target of at least 48 by 48 pixels, and each screen
// fits the 800x480 it is made for.
TEST_F(RadioWindowTest, EveryButtonIsBigEnoughToTouchOnAScreenThatFits) {
  StartRadio();
  for (const char* keyboard : {"", "addpreset", "tune"}) {
    // The radio screen, the letter keys, the number pad.
    if (*keyboard != '\0') {
      if (radio_->KeyboardShown()) Tap("radio.cancel", nullptr, true);
      Command(keyboard);
    }
    const host::gtk::SkinScreen& screen =
        *keyboard != '\0' ? *radio_->skin().keyboard : *radio_->skin().radio;
    std::vector<GtkWidget*> buttons;
    GSList* objects = gtk_builder_get_objects(screen.builder.get());
    for (GSList* o = objects; o != nullptr; o = o->next)
      if (GTK_IS_BUTTON(o->data) && gtk_widget_is_visible(GTK_WIDGET(o->data)) &&
          gtk_widget_is_ancestor(GTK_WIDGET(o->data), screen.root.get()))
        buttons.push_back(GTK_WIDGET(o->data));
    g_slist_free(objects);
    ASSERT_TRUE(RunUntil([&] {
      return gtk_widget_get_mapped(screen.root.get()) &&
             std::all_of(buttons.begin(), buttons.end(),
                         [](GtkWidget* b) { return gtk_widget_get_width(b) > 0; });
    })) << keyboard;
    for (GtkWidget* button : buttons) {
      EXPECT_GE(gtk_widget_get_width(button), 48) << gtk_button_get_label(GTK_BUTTON(button));
      EXPECT_GE(gtk_widget_get_height(button), 48) << gtk_button_get_label(GTK_BUTTON(button));
    }
    EXPECT_GT(buttons.size(), 10u) << keyboard;
    EXPECT_EQ(gtk_widget_get_width(GTK_WIDGET(radio_->window())), 800) << keyboard;
    EXPECT_EQ(gtk_widget_get_height(GTK_WIDGET(radio_->window())), 480) << keyboard;
  }
}

}  // namespace
}  // namespace gtktest

namespace gtktest {
namespace {

GtkWidget* FirstOfType(GtkWidget* root, GType type) {
  if (G_TYPE_CHECK_INSTANCE_TYPE(root, type)) return root;
  for (GtkWidget* child = gtk_widget_get_first_child(root); child != nullptr;
       child = gtk_widget_get_next_sibling(child))
    if (GtkWidget* found = FirstOfType(child, type)) return found;
  return nullptr;
}

GtkWidget* ButtonLabelled(GtkWidget* root, const char* label) {
  if (GTK_IS_BUTTON(root) && g_strcmp0(gtk_button_get_label(GTK_BUTTON(root)), label) == 0)
    return root;
  for (GtkWidget* child = gtk_widget_get_first_child(root); child != nullptr;
       child = gtk_widget_get_next_sibling(child))
    if (GtkWidget* found = ButtonLabelled(child, label)) return found;
  return nullptr;
}

// The help is a panel inside the window on the 800x480 screen it is made for: its Close button
// in view, a scroll bar, the keys Down and PgDn scroll it, Esc and Close close it.
TEST_F(RadioWindowTest, HelpFitsTheScreenScrollsByKeysAndCloses) {
  StartRadio();
  for (bool byEscape : {true, false}) {
    ASSERT_TRUE(radio_->PressKey(GDK_KEY_question));
    GtkWidget* panel = radio_->sheets().panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_height(panel) > 0; }));
    GtkWidget* window = GTK_WIDGET(radio_->window());
    graphene_rect_t bounds;
    ASSERT_TRUE(gtk_widget_compute_bounds(panel, window, &bounds));
    EXPECT_GE(bounds.origin.y, 0);
    EXPECT_LE(bounds.origin.y + bounds.size.height, 480);
    GtkWidget* close = ButtonLabelled(panel, "Close");
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(gtk_widget_compute_bounds(close, window, &bounds));
    EXPECT_LE(bounds.origin.y + bounds.size.height, 480);
    EXPECT_GE(bounds.size.height, 48);
    const std::string shown = ShownText(panel);
    EXPECT_NE(shown.find("seek the next station up"), std::string::npos);
    EXPECT_NE(shown.find("Seek ▶▶"), std::string::npos) << "the tap for each key";
    auto* scrolled = GTK_SCROLLED_WINDOW(FirstOfType(panel, GTK_TYPE_SCROLLED_WINDOW));
    ASSERT_NE(scrolled, nullptr);
    EXPECT_FALSE(gtk_scrolled_window_get_overlay_scrolling(scrolled));
    GtkAdjustment* down = gtk_scrolled_window_get_vadjustment(scrolled);
    ASSERT_TRUE(RunUntil([&] { return gtk_adjustment_get_upper(down) > 480; }));
    for (guint key : {GDK_KEY_Down, GDK_KEY_Page_Down}) {
      const double before = gtk_adjustment_get_value(down);
      radio_->PressKey(key);
      EXPECT_GT(gtk_adjustment_get_value(down), before) << key;
    }
    if (byEscape)
      radio_->PressKey(GDK_KEY_Escape);
    else
      g_signal_emit_by_name(close, "clicked");
    EXPECT_FALSE(radio_->sheets().open()) << (byEscape ? "Esc" : "Close");
  }
}

// The message line says what failed until the next action that works; deleting asks first, and
// a preset needs a name.
TEST_F(RadioWindowTest, TheMessageLineClearsAtTheNextSuccessAndDeletingAsks) {
  StartRadio();
  Command("rtune;abc");
  EXPECT_NE(Text("host.error").find("(error 13)"), std::string::npos) << Text("host.error");
  Command("fineup");
  EXPECT_EQ(Text("host.error"), "");
  Command("delpreset");
  EXPECT_EQ(Text("host.error"), "Choose a preset in the list first");

  Command("addpreset");
  gtk_editable_set_text(radio_->skin().keyboard->typedText, "  ");
  Command("enter", true);
  EXPECT_TRUE(radio_->KeyboardShown());
  EXPECT_EQ(Text("host.error", true), "A preset needs a name: type one, or cancel");
  gtk_editable_set_text(radio_->skin().keyboard->typedText, "Mine");
  Command("enter", true);
  const std::string row = "Mine\n" + Text("label.frequency");
  ASSERT_EQ(Text("row.1"), row) << radio_->lastError();
  EXPECT_EQ(Text("host.error"), "");

  for (bool yes : {false, true}) {
    ASSERT_TRUE(radio_->PressKey(GDK_KEY_x));
    // Asked inside the window, centred, with buttons large enough to tap.
    ASSERT_TRUE(radio_->sheets().open());
    GtkWidget* question = radio_->sheets().panel();
    EXPECT_NE(ShownText(question).find("Delete preset 1 \"Mine\"?"), std::string::npos);
    ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_width(question) > 0; }));
    graphene_rect_t bounds;
    ASSERT_TRUE(gtk_widget_compute_bounds(question, GTK_WIDGET(radio_->window()), &bounds));
    EXPECT_NEAR(bounds.origin.x + bounds.size.width / 2, 400, 2);
    EXPECT_NEAR(bounds.origin.y + bounds.size.height / 2, 240, 2);
    GtkWidget* yesButton = ButtonLabelled(question, "Yes");
    ASSERT_NE(yesButton, nullptr);
    EXPECT_GE(gtk_widget_get_height(yesButton), 48);
    EXPECT_GE(gtk_widget_get_width(yesButton), 96);
    // The radio beneath takes no key while it asks.
    radio_->PressKey(GDK_KEY_Page_Up);
    EXPECT_TRUE(radio_->sheets().open());
    if (yes)
      g_signal_emit_by_name(yesButton, "clicked");
    else
      radio_->PressKey(GDK_KEY_Escape);
    EXPECT_FALSE(radio_->sheets().open());
    EXPECT_EQ(Text("row.1"), yes ? "1" : row);
  }
}

// A scan's steps are no commands, yet the preset shown is the one the scan reached, and stays
// right once the scan stops there.
TEST_F(RadioWindowTest, ThePresetShownFollowsAScan) {
  std::filesystem::create_directories(home_.path() + "data");
  std::ofstream(home_.path() + "data/Radio.ini", std::ios::binary)
      << "8750|0|0\r\n8750,One\r\n8930,Two\r\n9120,Three\r\n";
  host_->sdk().SetVariable("scansecs", "1");
  StartRadio();
  ASSERT_EQ(Text("label.preset"), "Preset 1");
  Command("scan");
  for (const char* preset : {"2", "3"}) {
    const std::string frequency = preset[0] == '2' ? "89.3" : "91.2";
    ASSERT_TRUE(RunUntil([&] { return Text("label.frequency") == frequency; }))
        << Text("label.frequency");
    EXPECT_EQ(Text("label.preset"), std::string("Preset ") + preset);
    EXPECT_EQ(Text("label.station"), preset[0] == '2' ? "Two" : "Three");
  }
  Command("scan");
  EXPECT_EQ(Text("label.frequency"), "91.2");
  EXPECT_EQ(Text("label.preset"), "Preset 3");
}

}  // namespace
}  // namespace gtktest
