#include "host_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host_process.h"

namespace host {
namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Lines the host does not know stay as they stand, blanks around "=" are read as a person means
// them, and a setting changed stays one line.
TEST(HostSettings, KeepsWhatItDoesNotKnowAndReadsBlanksAroundTheEquals) {
  e2e::ScratchDir dir;
  const std::string path = dir.path() + "/halvane-host.ini";
  Write(path, "# kept by hand\r\ntraffic = on\r\nvolume\t=\t40\r\n[later]\r\ncolour=blue\r\n");
  HostSettings settings(path);
  EXPECT_EQ(settings.Get("traffic"), "on");
  EXPECT_EQ(settings.GetNumber("volume", 0, 100), 40);
  settings.Set("volume", "55");
  settings.Set("added", "yes");
  ASSERT_TRUE(settings.Save());
  EXPECT_EQ(
      Read(path),
      "# kept by hand\r\ntraffic = on\r\nvolume=55\r\n[later]\r\ncolour=blue\r\nadded=yes\r\n");
}

// A save goes only where the settings are: never through a name prepared beside them, never over
// a file it could not read, and a linked settings file stays linked.
TEST(HostSettings, ASaveWritesOnlyTheSettingsFileItRead) {
  e2e::ScratchDir dir;
  std::filesystem::create_directories(dir.path() + "/config");
  std::filesystem::create_directories(dir.path() + "/data");
  const std::string presets = dir.path() + "/data/Radio.ini";
  Write(presets, "10110,1,0\r\n9580,Radio One\r\n");
  const std::string path = dir.path() + "/config/halvane-host.ini";
  ASSERT_EQ(::symlink("../data/Radio.ini", (path + ".new").c_str()), 0);
  HostSettings first(path);
  first.Set("volume", "40");
  ASSERT_TRUE(first.Save());
  EXPECT_EQ(Read(presets), "10110,1,0\r\n9580,Radio One\r\n");
  EXPECT_EQ(Read(path), "volume=40\n");

  const std::string kept = dir.path() + "/data/settings.ini";
  Write(kept, "traffic=on\n");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ASSERT_EQ(::symlink("../data/settings.ini", path.c_str()), 0);
  HostSettings linked(path);
  linked.Set("volume", "60");
  ASSERT_TRUE(linked.Save());
  struct stat st {};
  ASSERT_EQ(::lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Read(kept), "traffic=on\nvolume=60\n");

  const std::string large = "traffic=on\n# " + std::string(kSettingsLimit, 'x') + "\n";
  Write(kept, large);
  HostSettings tooLarge(path);
  EXPECT_EQ(tooLarge.Get("traffic"), std::nullopt);
  tooLarge.Set("volume", "20");
  std::string why;
  EXPECT_FALSE(tooLarge.Save(&why));
  EXPECT_NE(why.find("larger than 65536 bytes"), std::string::npos) << why;
  EXPECT_EQ(Read(kept), large);
}

}  // namespace
}  // namespace host
