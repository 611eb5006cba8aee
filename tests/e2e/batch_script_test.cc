// Runs every batch script in scripts/ against halvane-host and the simulated tuner, one action at
// a time through pipes, and checks each answer against the expectation written under its action:
//   #> TEXT    the answer is exactly TEXT
//   #~ REGEX   the answer matches REGEX (ECMAScript, whole answer)
//   #! env NAME=VALUE   run the host with this environment variable (empty VALUE: unset)
//   #! arg ARG          pass ARG on the host's command line
// Other lines starting with "#" are comments; the host itself ignores every "#" line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "host_process.h"

namespace e2e {
namespace {

struct Expectation {
  bool regex = false;
  std::string text;
  int line = 0;
};

struct Step {
  std::string action;
  int line = 0;
  std::optional<Expectation> expect;
};

struct Script {
  std::map<std::string, std::string> env;
  std::vector<std::string> args;
  std::vector<Step> steps;
};

Script ReadScript(const std::string& path) {
  Script script;
  std::ifstream in(path);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.rfind("#> ", 0) == 0 || line.rfind("#~ ", 0) == 0) {
      if (script.steps.empty())
        ADD_FAILURE() << path << ":" << number << ": no action before";
      else
        script.steps.back().expect = Expectation{line[1] == '~', line.substr(3), number};
    } else if (line.rfind("#! env ", 0) == 0) {
      std::string assignment = line.substr(7);
      size_t eq = assignment.find('=');
      script.env[assignment.substr(0, eq)] =
          eq == std::string::npos ? "" : assignment.substr(eq + 1);
    } else if (line.rfind("#! arg ", 0) == 0) {
      script.args.push_back(line.substr(7));
    } else if (!line.empty() && line[0] != '#') {
      script.steps.push_back({line, number, std::nullopt});
    }
  }
  return script;
}

std::vector<std::string> ScriptNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(HALVANE_E2E_SCRIPTS))
    if (entry.path().extension() == ".batch") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class BatchScript : public ::testing::TestWithParam<std::string> {};

TEST_P(BatchScript, AnswersAsExpected) {
  const std::string path = std::string(HALVANE_E2E_SCRIPTS) + "/" + GetParam() + ".batch";
  Script script = ReadScript(path);
  ASSERT_FALSE(script.steps.empty()) << path;

  ScratchDir scratch;
  std::map<std::string, std::string> env{
      {"HALVANE_CLASS_REGISTRY", scratch.path() + "/classes.reg"},
      {"HALVANE_STATIONS", ""},
      {"LC_ALL", "C"},
  };
  for (const auto& [name, value] : script.env) env[name] = value;
  std::vector<std::string> args{"--batch", "--home", scratch.path() + "/home"};
  args.insert(args.end(), script.args.begin(), script.args.end());

  HostProcess host(args, env);
  for (const Step& step : script.steps) {
    host.Send(step.action);
    std::optional<std::string> reply = host.ReadLine();
    ASSERT_TRUE(reply) << path << ":" << step.line << ": no answer to " << step.action;
    const std::string& answer = *reply;
    if (!step.expect) continue;
    const Expectation& e = *step.expect;
    if (e.regex)
      EXPECT_TRUE(std::regex_match(answer, std::regex(e.text)))
          << path << ":" << step.line << ": " << step.action << "\n  answer: " << answer
          << "\n  pattern: " << e.text;
    else
      EXPECT_EQ(answer, e.text) << path << ":" << step.line << ": " << step.action;
  }
  EXPECT_EQ(host.Finish(), 0) << "the host's exit status";
}

// "file" answers at once whatever is under the name, and never reads past its cap.
TEST(BatchFileAction, ReadsOnlyARegularFileAndOnlyUpToSixteenMebibytes) {
  ScratchDir scratch;
  const std::string small = scratch.path() + "/small", fifo = scratch.path() + "/fifo",
                    large = scratch.path() + "/large";
  std::ofstream(small) << "a\"b";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(large).close();
  std::filesystem::resize_file(large, (size_t{16} << 20) + 1);  // sparse
  HostProcess host({"--batch", "--home", scratch.path() + "/home"},
                   {{"HALVANE_CLASS_REGISTRY", scratch.path() + "/classes.reg"}});
  EXPECT_EQ(host.Ask("file " + small), "\"a\\\"b\"");
  EXPECT_EQ(host.Ask("file " + fifo), "null");
  EXPECT_EQ(host.Ask("file /dev/zero"), "null");
  EXPECT_EQ(host.Ask("file " + large), "fail file \"" + large + "\" holds more than 16 MiB");
  EXPECT_EQ(host.Finish(), 0);
}

// A line past the longest read is answered "fail" and the session goes on; what a "fail" quotes
// is escaped as every string of the protocol is.
TEST(BatchLines, ALineTooLongFailsAndQuotedTextIsEscaped) {
  ScratchDir scratch;
  HostProcess host({"--batch", "--home", scratch.path() + "/home"},
                   {{"HALVANE_CLASS_REGISTRY", scratch.path() + "/classes.reg"}});
  EXPECT_EQ(host.Ask("tune " + std::string(size_t{1} << 21, '9')),
            "fail the line is longer than 1048576 bytes");
  EXPECT_EQ(host.Ask("x\x1b\xff"), "fail unknown action \"x\\u001b\xEF\xBF\xBD\"");
  EXPECT_EQ(host.Ask("wait \x01"),
            "fail wait's milliseconds must be a whole number, got \"\\u0001\"");
  EXPECT_EQ(host.Ask("create"), "ok");
  EXPECT_EQ(host.Finish(), 0);
}

INSTANTIATE_TEST_SUITE_P(Scripts, BatchScript, ::testing::ValuesIn(ScriptNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace e2e
