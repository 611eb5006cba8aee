// The interactive radio in a pseudo-terminal: a private tmux server runs halvane-host in a pane of
// a known size, keys are sent as a user types them, and the pane's text is what the user sees.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
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
    // The radio in an 90x30 pane; its presets and registry in the scratch folder.
    std::string program = "env HALVANE_CLASS_REGISTRY=" + Quote(scratch_.path() + "/classes.reg") +
                          " HALVANE_STATIONS= LC_ALL=C.UTF-8 " + Quote(HostProgram()) + " --home " +
                          Quote(home()) + "; echo exit=$? > " + Quote(scratch_.path() + "/exit");
    int status = -1;
    Shell(Tmux("-f /dev/null new-session -d -x 90 -y 30 " + Quote(program)), &status);
    ASSERT_EQ(status, 0) << "tmux could not start a session";
    started_ = true;
  }

  void TearDown() override {
    if (started_) Shell(Tmux("kill-server") + " 2>/dev/null");
  }

  std::string Tmux(const std::string& args) const {
    return "tmux -S " + Quote(socket_) + " " + args;
  }
  std::string home() const { return scratch_.path() + "/home"; }
  std::string Screen() const { return Shell(Tmux("capture-pane -p") + " 2>/dev/null"); }
  // Named keys ("PPage", "Enter", "q"), and text typed as it stands.
  void Keys(const std::string& keys) { Shell(Tmux("send-keys " + keys)); }
  void Type(const std::string& text) { Shell(Tmux("send-keys -l " + Quote(text))); }

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
  // Started and active on the default band's first station, whose RDS name arrives.
  ASSERT_TRUE(WaitForText("FM  87.5 MHz")) << Screen();
  ASSERT_TRUE(WaitForText("LOWEND")) << Screen();
  EXPECT_NE(Screen().find("ACTIVE"), std::string::npos);

  // Seek up: the next station and its name.
  Keys("PPage");
  ASSERT_TRUE(WaitForText("FM  89.3 MHz")) << Screen();
  ASSERT_TRUE(WaitForText("NORDWAVE")) << Screen();
  EXPECT_TRUE(WaitForText("PI D3C2")) << Screen();

  // Add it as a preset through the keyboard prompt.
  Keys("a");
  ASSERT_TRUE(WaitForText("New preset's name:")) << Screen();
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

  // A bad command line shows the error number and its meaning.
  Type(":rtune;abc");
  Keys("Enter");
  ASSERT_TRUE(WaitForText("Last error: 13 Type mismatch")) << Screen();

  // Mute, then quit: the radio stops and the preset list is saved.
  Keys("m");
  ASSERT_TRUE(WaitForText("ACTIVE  MUTED")) << Screen();
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

TEST_F(TerminalRadio, HelpListsTheKeys) {
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

}  // namespace
}  // namespace e2e
