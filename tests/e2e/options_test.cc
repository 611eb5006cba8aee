#include "options.h"

#include <gtest/gtest.h>

#include "folders.h"

namespace host {
namespace {

TEST(Options, ReadsEveryOptionInBothSpellings) {
  std::string error;
  auto o = ParseOptions({"--batch", "--home", "/h", "--var", "DMPath=/d/", "--var=scansecs=2.5",
                         "--var=Empty=", "--real-clock"},
                        error);
  ASSERT_TRUE(o) << error;
  EXPECT_TRUE(o->batch);
  EXPECT_TRUE(o->realClock);
  EXPECT_EQ(o->home, "/h");
  ASSERT_EQ(o->variables.size(), 3u);
  EXPECT_EQ(o->variables[0], std::make_pair(std::string("DMPath"), std::string("/d/")));
  EXPECT_EQ(o->variables[1], std::make_pair(std::string("scansecs"), std::string("2.5")));
  EXPECT_EQ(o->variables[2], std::make_pair(std::string("Empty"), std::string()));
}

TEST(Options, RefusesMistakesWithAReason) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--home"}, {"--home="}, {"--var", "novalue"}, {"--var", "=x"}, {"--bogus"}}) {
    std::string error;
    EXPECT_FALSE(ParseOptions(args, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(Folders, HomeOptionPutsEverythingUnderOneFolder) {
  Folders f = ResolveFolders("/p/h");
  EXPECT_EQ(f.config, "/p/h/config/");
  EXPECT_EQ(f.data, "/p/h/data/");
  EXPECT_EQ(f.art, "/p/h/art/");
  EXPECT_EQ(f.skin, "/p/h/skin/");
  EXPECT_EQ(f.logFile, "/p/h/halvane.log");
}

TEST(Folders, FollowXdgAndIgnoreRelativeValues) {
  ::setenv("HOME", "/home/u", 1);
  ::setenv("XDG_CONFIG_HOME", "/x/conf", 1);
  ::setenv("XDG_DATA_HOME", "relative/data", 1);  // invalid: the default applies
  ::unsetenv("XDG_STATE_HOME");
  Folders f = ResolveFolders("");
  EXPECT_EQ(f.config, "/x/conf/halvane/");
  EXPECT_EQ(f.data, "/home/u/.local/share/halvane/");  // presets: user data, not the cache
  EXPECT_EQ(f.art, "/home/u/.local/share/halvane/art/");
  EXPECT_EQ(f.logFile, "/home/u/.local/state/halvane/halvane.log");
}

TEST(Folders, WithoutAnAbsoluteHomeThereAreNone) {
  for (const char* home : {"", "relative/home"}) {
    ::setenv("HOME", home, 1);
    ::setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    ::setenv("XDG_DATA_HOME", "/x/data", 1);
    ::unsetenv("XDG_STATE_HOME");
    Folders f = ResolveFolders("");
    EXPECT_EQ(f.data, "") << home;
    EXPECT_NE(f.problem.find("HOME is not set"), std::string::npos) << home;
    ::setenv("XDG_STATE_HOME", "/x/state", 1);  // every folder named: no home needed
    EXPECT_EQ(ResolveFolders("").problem, "");
    EXPECT_EQ(ResolveFolders("").data, "/x/data/halvane/");
  }
}

TEST(Folders, WithSlash) {
  EXPECT_EQ(WithSlash("/a"), "/a/");
  EXPECT_EQ(WithSlash("/a/"), "/a/");
  EXPECT_EQ(WithSlash(""), "");
}

}  // namespace
}  // namespace host
