// The host's data folder: one radio at a time keeps presets in it, and a host that has no folder
// of the user's to keep them in stops instead of using a shared one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host_process.h"

namespace e2e {
namespace {

TEST(DataFolder, ASecondRadioOnTheSameFolderStopsAndTheFirstGoesOn) {
  ScratchDir scratch;
  const std::map<std::string, std::string> env{
      {"HALVANE_CLASS_REGISTRY", scratch.path() + "/classes.reg"}, {"LC_ALL", "C"}};
  const std::vector<std::string> args{"--batch", "--home", scratch.path() + "/home"};
  HostProcess first(args, env);
  ASSERT_EQ(first.Ask("create"), "ok");  // answering: it holds the lock by now
  HostProcess second(args, env);
  EXPECT_EQ(second.Finish(), 1);
  EXPECT_EQ(first.Ask("create"), "ok");
  EXPECT_EQ(first.Finish(), 0);
  HostProcess third(args, env);  // the lock went with the first host
  EXPECT_EQ(third.Ask("create"), "ok");
  EXPECT_EQ(third.Finish(), 0);
}

// The lock file's name linked to another file (a hard link) locks it but writes nothing into it.
TEST(DataFolder, TheLockNeverWritesIntoALinkedFile) {
  ScratchDir scratch;
  const std::string data = scratch.path() + "/home/data/", precious = scratch.path() + "/notes";
  std::filesystem::create_directories(data);
  { std::ofstream(precious) << "keep me\n"; }
  std::filesystem::create_hard_link(precious, data + "halvane.lock");
  HostProcess host({"--batch", "--home", scratch.path() + "/home"},
                   {{"HALVANE_CLASS_REGISTRY", scratch.path() + "/classes.reg"}});
  EXPECT_EQ(host.Ask("create"), "ok");
  EXPECT_EQ(host.Finish(), 0);
  std::ifstream in(precious);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "keep me\n");
}

TEST(DataFolder, WithoutAHomeTheHostStops) {
  ScratchDir scratch;
  HostProcess host({"--batch"}, {{"HALVANE_CLASS_REGISTRY", scratch.path() + "/classes.reg"},
                                 {"HOME", ""},
                                 {"XDG_CONFIG_HOME", ""},
                                 {"XDG_DATA_HOME", ""},
                                 {"XDG_STATE_HOME", ""}});
  EXPECT_EQ(host.Finish(), 1);
}

}  // namespace
}  // namespace e2e
