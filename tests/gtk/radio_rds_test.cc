// What a station says beyond its name and text, as the touch radio shows it: the song it tags,
// and a traffic announcement that lifts a mute for its length when the host is set to.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "radio_fixture.h"

namespace gtktest {
namespace {

class RadioRdsTest : public RadioTest {
 protected:
  bool WindowIsTheScreensSize() const {
    GtkWidget* window = GTK_WIDGET(radio_->window());
    return gtk_widget_get_width(window) == 800 && gtk_widget_get_height(window) == 480;
  }
};

// The built-in band's Country Road tags its song: artist and title on their labels, and the
// screen keeps its 800x480 with them; what it does not send takes no room.
TEST_F(RadioRdsTest, TheSongShowsOnTheDefaultSkinWhichKeepsItsSize) {
  StartRadio();
  Command("rtune;106.2");
  // Each comes once its part of the text was received twice alike (a level-2 station loses some).
  ASSERT_TRUE(RunUntil([&] {
    return Text("label.rdstitle") == "Heartache Highway" &&
           Text("label.rdsartist") == "The Fiddle Pines";
  })) << Text("label.rdstitle")
      << " / " << Text("label.rdsartist");
  EXPECT_EQ(Text("label.rdsname"), "COUNTRY");
  // It sends no programme type name: that label leaves no gap in its row.
  EXPECT_TRUE(gtk_widget_get_visible(Widget("label.rdsptystring")));
  EXPECT_FALSE(gtk_widget_get_visible(Widget("label.rdsptyn")));
  EXPECT_TRUE(WindowIsTheScreensSize()) << gtk_widget_get_width(GTK_WIDGET(radio_->window())) << "x"
                                        << gtk_widget_get_height(GTK_WIDGET(radio_->window()));
}

// With "traffic=on" an announcement lifts the mute, is heard at least at the traffic volume and
// shows its banner; mute and volume come back when it ends, unless the person unmuted meanwhile.
// The TA key switches it all off.
TEST_F(RadioRdsTest, ATrafficAnnouncementLiftsTheMuteForItsLength) {
  std::filesystem::create_directories(home_.path() + "config");
  std::ofstream(home_.path() + "config/halvane-host.ini")
      << "traffic=on\ntraffic_volume=80\nvolume=30\n";
  std::ofstream(home_.path() + "stations.ini") << "[station Roads]\nfrequency = 95.8 MHz\n"
                                                  "pi = 5C11\ntp = yes\nta = toggle\n"
                                                  "ta_period = 2\nps = ROADS\n";
  setenv("HALVANE_STATIONS", (home_.path() + "stations.ini").c_str(), 1);
  StartRadio();
  Command("rtune;95.8");
  GtkWidget* banner = Widget("indicator.rdstraffic");
  for (bool personUnmutes : {false, true}) {
    ASSERT_TRUE(RunUntil([&] { return !IsOn("indicator.rdstraffic"); }));
    Command("radiomute;on");
    ASSERT_TRUE(RunUntil([&] { return IsOn("indicator.rdstraffic"); }));
    EXPECT_FALSE(IsOn("indicator.radiomute"));
    EXPECT_EQ(radio_->session().volume(), 80);
    EXPECT_TRUE(gtk_widget_get_visible(banner));
    EXPECT_TRUE(WindowIsTheScreensSize());
    if (personUnmutes) {
      radio_->PressKey(GDK_KEY_m);
      radio_->PressKey(GDK_KEY_m);
    }
    ASSERT_TRUE(RunUntil([&] { return !IsOn("indicator.rdstraffic"); }));
    EXPECT_EQ(IsOn("indicator.radiomute"), !personUnmutes);
    EXPECT_EQ(radio_->session().volume(), 30);
    EXPECT_FALSE(gtk_widget_get_visible(banner));
  }
  radio_->PressKey(GDK_KEY_T);
  EXPECT_FALSE(radio_->session().trafficSwitch());
  Command("radiomute;on");
  ASSERT_TRUE(RunUntil([&] { return IsOn("indicator.rdstraffic"); }));
  EXPECT_TRUE(IsOn("indicator.radiomute"));
  EXPECT_EQ(radio_->session().volume(), 30);
  unsetenv("HALVANE_STATIONS");
}

}  // namespace
}  // namespace gtktest
