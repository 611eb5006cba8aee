// The interactive radio in a pseudo-terminal: a private tmux server runs halvane-host in a pane of
// a known size, keys are sent as a user types them, and the pane's text is what the user sees.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>

#include "host_process.h"

namespace e2e {
namespace {

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs a shell command and returns its standard output.
std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buf[4096];
  while (size_t n = std::fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
  int rc = ::pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

class TerminalRadio : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Shell("command -v tmux").empty()) GTEST_SKIP() << "tmux is not installed (scripts/setup)";
    socket_ = scratch_.path() + "/tmux.sock";
  }

  // The radio in a pane of `columns` x `rows`, its presets and registry in the scratch folder;
  // `env` and `args` are added to its command line. A second session on the same server gets
  // its own `name`.
  void Start(int columns = 90, int rows = 30, const std::string& env = "LC_ALL=C.UTF-8",
             const std::string& args = "", const std::string& name = "radio") {
    std::string program = "env HALVANE_CLASS_REGISTRY=" + Quote(scratch_.path() + "/classes.reg") +
                          " HALVANE_STATIONS= " + env + " " + Quote(HostProgram()) + " --home " +
                          Quote(home()) + " " + args + "; echo exit=$? > " +
                          Quote(scratch_.path() + "/exit");
    int status = -1;
    Shell(Tmux("-f /dev/null new-session -d -s " + name + " -x " + std::to_string(columns) +
               " -y " + std::to_string(rows) + " " + Quote(program)),
          &status);
    ASSERT_EQ(status, 0) << "tmux could not start a session";
    started_ = true;
  }

  // A main preset list to start from, tuned to its first preset.
  void WritePresets(const std::string& lines) {
    Shell("mkdir -p " + Quote(home() + "/data"));
    std::ofstream(home() + "/data/Radio.ini", std::ios::binary) << lines;
  }
  std::string SavedPresets() const {
    std::ifstream list(home() + "/data/Radio.ini", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
  }
  void QuitAndWait() {
    Keys("q");
    ASSERT_TRUE(WaitFor([&](const std::string&) { return Exited(); })) << Screen();
  }

  void TearDown() override {
    if (started_) Shell(Tmux("kill-server") + " 2>/dev/null");
  }

  std::string Tmux(const std::string& args) const {
    return "tmux -S " + Quote(socket_) + " " + args;
  }
  std::string home() const { return scratch_.path() + "/home"; }
  std::string Screen(const std::string& flags = "") const {
    return Shell(Tmux("capture-pane -t radio -p " + flags) + " 2>/dev/null");
  }
  // Named keys ("PPage", "Enter", "q"), and text typed as it stands.
  void Keys(const std::string& keys) { Shell(Tmux("send-keys -t radio " + keys)); }
  void Type(const std::string& text) { Shell(Tmux("send-keys -t radio -l " + Quote(text))); }

  // Waits until the screen satisfies `condition`; the deadline only keeps a broken host from
  // hanging the suite, the test never depends on how soon the condition comes.
  bool WaitFor(const std::function<bool(const std::string&)>& condition, int seconds = 30) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
      if (condition(Screen())) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  bool WaitForText(const std::string& text) {
    return WaitFor([&](const std::string& s) { return s.find(text) != std::string::npos; });
  }
  bool Exited() const {
    std::ifstream in(scratch_.path() + "/exit");
    return in.good();
  }

  ScratchDir scratch_;
  std::string socket_;
  bool started_ = false;
};

TEST_F(TerminalRadio, ShowsTheStationAndFollowsTheKeys) {
  Start();
  // Started and active on the default band's first station, whose RDS name arrives.
  ASSERT_TRUE(WaitForText("FM  87.5 MHz")) << Screen();
  ASSERT_TRUE(WaitForText("LOWEND")) << Screen();
  EXPECT_NE(Screen().find("ACTIVE"), std::string::npos);

  // Seek up: the next station and its name.
  Keys("PPage");
  ASSERT_TRUE(WaitForText("FM  89.3 MHz")) << Screen();
  ASSERT_TRUE(WaitForText("NORDWAVE")) << Screen();
  EXPECT_TRUE(WaitForText("PI D3C2")) << Screen();

  // Add it as a preset through the keyboard prompt, which starts from the station's name.
  Keys("a");
  ASSERT_TRUE(WaitForText("New preset's name: NORDWAVE")) << Screen();
  Keys("C-u");
  Type("Nordic");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("> 1. 89.3 - Nordic")) << Screen();
  EXPECT_TRUE(WaitForText("P1  Nordic")) << Screen();

  // Type a frequency.
  Keys("t");
  ASSERT_TRUE(WaitForText("Frequency (MHz, or kHz for AM):")) << Screen();
  Type("104.5");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("FM  104.5 MHz")) << Screen();
  ASSERT_TRUE(WaitForText("JAZZ 104")) << Screen();

  // A bad command line says what went wrong in plain words, with the number for bug reports,
  // until the next action that works.
  Type(":rtune;abc");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("Can't tune to \"abc\": that is not a number (error 13)")) << Screen();
  Keys("m");
  ASSERT_TRUE(WaitForText("ACTIVE  MUTED")) << Screen();
  EXPECT_TRUE(WaitFor([](const std::string& s) { return s.find("error 13") == std::string::npos; }))
      << Screen();
  Keys("q");
  ASSERT_TRUE(WaitFor([&](const std::string&) { return Exited(); })) << Screen();
  std::ifstream exitFile(scratch_.path() + "/exit");
  std::string exitLine;
  std::getline(exitFile, exitLine);
  EXPECT_EQ(exitLine, "exit=0");
  std::ifstream list(home() + "/data/Radio.ini", std::ios::binary);
  std::string saved((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
  EXPECT_EQ(saved, "10450|0|0\r\n8930,Nordic\r\n");
}

// A station tagging its song (RadioText+): the song shows where its RadioText would.
TEST_F(TerminalRadio, ShowsTheSongAStationTags) {
  Start();
  ASSERT_TRUE(WaitForText("FM  87.5 MHz")) << Screen();
  Keys("t");
  Type("106.2");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("The Fiddle Pines - Heartache Highway")) << Screen();
}

TEST_F(TerminalRadio, HelpListsTheKeys) {
  Start();
  ASSERT_TRUE(WaitForText("FM  87.5 MHz")) << Screen();
  Keys("?");
  ASSERT_TRUE(WaitForText("seek the next station up")) << Screen();
  EXPECT_TRUE(WaitForText("learn presets")) << Screen();
  Keys("x");  // any key closes the help and does nothing else
  ASSERT_TRUE(WaitFor([](const std::string& s) {
    return s.find("seek the next station up") == std::string::npos;
  })) << Screen();
  EXPECT_NE(Screen().find("Presets, main list (0)"), std::string::npos);
}

constexpr const char* kFourPresets =
    "8750|0|0\r\n8750,One\r\n8930,Two\r\n9120,Three\r\n10450,Four\r\n";

// The row shown highlighted is the row K/J move: right after start, after a move (the moved
// preset stays chosen) and after a recall that moved the highlight elsewhere.
TEST_F(TerminalRadio, MovesTheRowShownAndSavesThatOrder) {
  WritePresets(kFourPresets);
  Start();
  ASSERT_TRUE(WaitForText("> 1. 87.5 - One")) << Screen();
  Keys("J");
  ASSERT_TRUE(WaitForText("> 2. 87.5 - One")) << Screen();
  Keys("J");
  ASSERT_TRUE(WaitForText("> 3. 87.5 - One")) << Screen();
  Keys("Up");
  ASSERT_TRUE(WaitForText("> 2. 91.2 - Three")) << Screen();
  Keys("4");
  ASSERT_TRUE(WaitForText("> 4. 104.5 - Four")) << Screen();
  Keys("K");
  ASSERT_TRUE(WaitForText("> 3. 104.5 - Four")) << Screen();
  QuitAndWait();
  EXPECT_EQ(SavedPresets(), "10450|0|0\r\n8930,Two\r\n9120,Three\r\n10450,Four\r\n8750,One\r\n");
}

// Rename and delete act on the row the person chose, though another preset plays and the
// plug-in highlights the playing one after each command and status tick.
TEST_F(TerminalRadio, RenamesAndDeletesTheChosenRowWhileAnotherPlays) {
  WritePresets("10620|0|0\r\n8930,NORDWAVE\r\n10620,COUNTRY\r\n");
  Start();
  ASSERT_TRUE(WaitForText("> 2. 106.2 - COUNTRY")) << Screen();
  Keys("Up");
  Keys("e");
  ASSERT_TRUE(WaitForText("Preset's new name: NORDWAVE")) << Screen();
  // Several status ticks with the prompt open must not move the choice.
  ASSERT_TRUE(WaitForText("> 1. 89.3 - NORDWAVE")) << Screen();
  Keys("C-u");
  Type("NORTH");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("1. 89.3 - NORTH")) << Screen();
  Keys("Up");
  Keys("x");
  ASSERT_TRUE(WaitForText("Delete preset 1 \"NORTH\"?")) << Screen();
  EXPECT_TRUE(WaitForText("> 1. 89.3 - NORTH")) << Screen();
  Keys("y");
  ASSERT_TRUE(WaitForText("Presets, main list (1)")) << Screen();
  QuitAndWait();
  EXPECT_EQ(SavedPresets(), "10620|0|0\r\n10620,COUNTRY\r\n");
}

// A private session bus for the radio's media interface, ended with the test.
class SessionBus {
 public:
  explicit SessionBus(const std::string& folder) {
    std::istringstream out(Shell("dbus-daemon --session --address=unix:dir=" + Quote(folder) +
                                 " --fork --print-address=1 --print-pid=1"));
    std::getline(out, address_);
    out >> pid_;
  }
  ~SessionBus() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  const std::string& address() const { return address_; }

 private:
  std::string address_;
  pid_t pid_ = 0;
};

// A volume the desktop sets is drawn at once, with no key pressed.
TEST_F(TerminalRadio, RedrawsAVolumeSetFromTheDesktop) {
  if (Shell("command -v playerctl dbus-daemon").empty()) GTEST_SKIP() << "scripts/setup";
  SessionBus bus(scratch_.path());
  ASSERT_FALSE(bus.address().empty());
  const std::string env = "DBUS_SESSION_BUS_ADDRESS=" + Quote(bus.address());
  Start(90, 30, "LC_ALL=C.UTF-8 " + env);
  ASSERT_TRUE(WaitForText("volume 100%")) << Screen();
  // On AM: no RDS arriving and a steady signal, so nothing else redraws the screen.
  Type(":rtune;1040");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("AM  1040 kHz")) << Screen();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  int status = -1;
  Shell("env " + env + " timeout 30 playerctl --player=halvane volume 0.3", &status);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(WaitForText("volume 30%")) << Screen();
}

// On a tuner that measures the reception (the SDR tuner, here on its synthetic band), the
// signal's quality shows beside its level.
TEST_F(TerminalRadio, ShowsTheSignalsQualityWhereTheTunerMeasuresIt) {
  const std::string config = scratch_.path() + "/tuner.ini";
  std::ofstream(config) << "backend = sdr\ndevice = synthetic\nrate = 250000\ntone = 1000\n";
  Start(90, 30,
        "LC_ALL=C.UTF-8 HALVANE_TUNER_CONFIG=" + Quote(config) +
            " PULSE_SERVER=" + Quote(scratch_.path() + "/no-sound-server"));
  EXPECT_TRUE(WaitFor([](const std::string& screen) {
    return std::regex_search(screen, std::regex("Signal \\[[#-]+\\] +[0-9]+%  C/N -?[0-9]+ dB"));
  })) << Screen();
  QuitAndWait();
}

// Where the host can tell that nothing happened, it says so; the next action that works clears it.
TEST_F(TerminalRadio, SaysWhenNothingHappened) {
  WritePresets(kFourPresets);
  Start();
  ASSERT_TRUE(WaitForText("> 1. 87.5 - One")) << Screen();
  const std::pair<const char*, const char*> cases[] = {
      {"9", "There is no preset 9 (the list has 4)"},
      {":nosuch\n", "The radio does not know the command \"nosuch\""},
      {":loadpreset;Nope\n", "No saved preset is named \"Nope\""},
      {"g77\n", "There is no preset \"77\" (the list has 4)"},
      {"K", "That preset is at the top already"},
  };
  for (const auto& [keys, words] : cases) {
    std::string typed = keys;
    bool enter = typed.back() == '\n';
    if (enter) typed.pop_back();
    Type(typed);
    if (enter) Keys("Enter");
    EXPECT_TRUE(WaitForText(words)) << keys << "\n" << Screen();
  }
  Keys("PPage");
  EXPECT_TRUE(WaitFor([](const std::string& s) {
    return s.find("at the top already") == std::string::npos &&
           s.find("89.3 MHz") != std::string::npos;
  })) << Screen();
}

// A driver that fails to start says why on the device-error dialog: the band file, its line and
// the key it did not know.
TEST_F(TerminalRadio, ShowsTheDriversReasonWithTheDeviceError) {
  const std::string band = scratch_.path() + "/stations.ini";
  std::ofstream(band) << "[station]\nfrequency = 87.5 MHz\nlevl = 3\n";
  Start(90, 30, "LC_ALL=C.UTF-8 HALVANE_STATIONS=" + Quote(band));
  ASSERT_TRUE(WaitForText("Device Error")) << Screen();
  EXPECT_TRUE(WaitForText("stations.ini:3:")) << Screen();
  EXPECT_NE(Screen().find("levl"), std::string::npos) << Screen();
  Keys("Space");
  ASSERT_TRUE(WaitFor([](const std::string& s) {
    return s.find("Device Error") == std::string::npos;
  })) << Screen();
  Keys("f");
  EXPECT_TRUE(WaitForText("No presets to surf through")) << Screen();
  EXPECT_EQ(Screen().find("search surf"), std::string::npos) << Screen();
}

// 80x24 keeps every essential, quit among them; 40x12 drops fields without overlap; a C locale
// draws ASCII inside a clean box; the prompt edits with cursor keys; the help scrolls.
TEST_F(TerminalRadio, FitsSmallTerminalsAndPlainLocales) {
  WritePresets("8750|0|0\r\n8750," + std::string(150, 'L') + "\r\n8930,CAFF\xC3\x88 99\r\n");
  Start(80, 24, "LC_ALL=C");
  ASSERT_TRUE(WaitForText("CAFFE 99")) << Screen();
  for (int size : {80, 40}) {
    if (size == 40) Shell(Tmux("resize-window -x 40 -y 12"));
    ASSERT_TRUE(WaitFor([&](const std::string& s) {
      return s.find("LOWEND") != std::string::npos &&
             s.find("? help  q quit") != std::string::npos &&
             s.find(size == 40 ? "Presets, main list (2)" : "seek mode off") != std::string::npos;
    })) << Screen();
    std::istringstream lines(Screen());
    for (std::string line; std::getline(lines, line);) {
      for (char c : line) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << line;
      if (!line.empty() && line[0] == '|') {
        EXPECT_EQ(line.size(), static_cast<size_t>(size)) << line;
        EXPECT_EQ(line.back(), '|') << line;
      }
    }
    EXPECT_NE(Screen().find("FM  87.5 MHz  LOWEND"), std::string::npos) << Screen();
    EXPECT_NE(Screen().find("LLL..."), std::string::npos) << Screen();
  }
  Keys("t");
  Type("x104,5");
  Keys("Home");
  Keys("Delete");
  Keys("End");
  Keys("Enter");
  EXPECT_TRUE(WaitForText("FM  104.5 MHz")) << Screen();
  Keys("?");
  ASSERT_TRUE(WaitForText("lines 1-")) << Screen();
  Keys("Down");
  EXPECT_TRUE(WaitForText("lines 2-")) << Screen();
  Keys("Escape");
  EXPECT_TRUE(WaitFor([](const std::string& s) { return s.find("lines 2-") == std::string::npos; }))
      << Screen();
}

// Colour unless NO_COLOR; "kHz"; forced mono shown as such.
TEST_F(TerminalRadio, ColoursUnlessAskedNotToAndNamesUnitsAndMono) {
  Start(90, 30, "LC_ALL=C.UTF-8 TERM=screen-256color");
  Start(90, 30, "LC_ALL=C.UTF-8 TERM=screen-256color NO_COLOR=1", "--home " + Quote(home() + "2"),
        "plain");
  ASSERT_TRUE(WaitForText("FM  87.5 MHz")) << Screen();
  Type(":rtune;1040");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("AM  1040 kHz")) << Screen();
  Keys("o");
  ASSERT_TRUE(WaitForText("FORCED MONO")) << Screen();
  // A foreground or background colour (30-37, 40-47); the default colours (39, 49) don't count.
  const std::regex colour("\x1b\\[([0-9]+;)*[34][0-7]m");
  EXPECT_TRUE(std::regex_search(Screen("-e"), colour)) << Screen("-e");
  const std::string plain = Shell(Tmux("capture-pane -p -e -t plain"));
  EXPECT_NE(plain.find("HalvaneDM"), std::string::npos) << plain;
  EXPECT_FALSE(std::regex_search(plain, colour)) << plain;
}

// In a locale with a decimal comma the person may type either mark; the plug-in gets its own.
TEST_F(TerminalRadio, TakesEitherDecimalMarkInACommaLocale) {
  Start(90, 30, "LC_ALL=de_DE.UTF-8");
  ASSERT_TRUE(WaitForText("FM  87,5 MHz")) << Screen();
  Keys("t");
  Type("104.5");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("FM  104,5 MHz")) << Screen();
  Type(":rtune;89.3");
  Keys("Enter");
  EXPECT_TRUE(WaitForText("FM  89,3 MHz")) << Screen();
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// What the plug-in does without a word the terminal says: a frequency outside the band kept at
// its edge. Deleting asks first; the help fits 40 columns, its lines wrapped under their text.
TEST_F(TerminalRadio, SaysTheBandsEdgeAsksBeforeDeletingAndFitsItsHelp) {
  WritePresets(kFourPresets);
  Start(90, 30);
  ASSERT_TRUE(WaitForText("> 1. 87.5 - One")) << Screen();
  const std::pair<const char*, const char*> edges[] = {
      {"200", "is the top of the FM band"},
      {"5", "530 kHz is the bottom of the AM band"},
  };
  for (const auto& [typed, words] : edges) {
    Keys("t");
    Type(typed);
    Keys("Enter");
    EXPECT_TRUE(WaitForText(words)) << typed << "\n" << Screen();
  }
  Keys("1");
  ASSERT_TRUE(WaitFor([](const std::string& s) {
    return s.find("FM  87.5 MHz") != std::string::npos && s.find("band") == std::string::npos;
  })) << Screen();

  for (const char* answer : {"n", "y"}) {
    Keys("x");
    ASSERT_TRUE(WaitForText("Delete preset 1 \"One\"?  y yes, n no")) << Screen();
    Keys(answer);
    EXPECT_TRUE(WaitForText(answer[0] == 'n' ? "> 1. 87.5 - One" : "Presets, main list (3)"))
        << Screen();
  }

  Shell(Tmux("resize-window -x 40 -y 12"));
  Keys("?");
  ASSERT_TRUE(WaitForText("lines 1-")) << Screen();
  // "seek the next station up" wraps at a blank, its second line under the first's text.
  const std::regex continued("\\|\\s{13,}\\S");
  bool wrapped = false;
  for (int i = 0; i < 10 && !wrapped; ++i) {
    wrapped = std::regex_search(Screen(), continued);
    if (!wrapped) Keys("Down");
  }
  EXPECT_TRUE(wrapped) << Screen();
  std::istringstream lines(Screen());
  for (std::string line; std::getline(lines, line);)
    EXPECT_LE(std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; }),
              40)
        << line;
}

}  // namespace
}  // namespace e2e
