// The command line of halvane-radio: values in both spellings, mistakes said.
#include "radio_options.h"

#include <gtest/gtest.h>

namespace gtktest {
namespace {

using host::gtk::ParseRadioOptions;

TEST(RadioOptions, ValuesInBothSpellings) {
  std::string error;
  auto options = ParseRadioOptions(
      {"--home", "/h", "--skin=/s", "--night", "--command", "seekup", "--command=addpreset",
       "--type", "", "--var", "fastmode=0", "--screenshot", "/x.png", "--after=250"},
      error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->home, "/h");
  EXPECT_EQ(options->skin, "/s");
  EXPECT_TRUE(options->night);
  EXPECT_EQ(options->commands, (std::vector<std::string>{"seekup", "addpreset"}));
  EXPECT_EQ(options->typed, "");
  EXPECT_EQ(options->variables.at(0), (std::pair<std::string, std::string>{"fastmode", "0"}));
  EXPECT_EQ(options->screenshot, "/x.png");
  EXPECT_EQ(options->afterMs, 250);
}

TEST(RadioOptions, MistakesAreSaid) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{"--after", "-5"}, "--after needs milliseconds"},
      {{"--after", "1s"}, "--after needs milliseconds"},
      {{"--var", "=1"}, "--var needs NAME=VALUE"},
      {{"--home="}, "--home needs a path"},
      {{"--skin"}, "--skin needs a value"},
      {{"--bogus"}, "unknown option \"--bogus\""},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseRadioOptions(c.args, error)) << c.error;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
  }
}

}  // namespace
}  // namespace gtktest
