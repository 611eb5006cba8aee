// The command line of halvane-host.
#ifndef HALVANE_HOST_OPTIONS_H
#define HALVANE_HOST_OPTIONS_H

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host {

struct Options {
  bool batch = false;      // --batch: actions from standard input
  bool realClock = false;  // --real-clock: batch mode leaves the simulated driver's clock running
  bool help = false;
  bool version = false;                                        // --version
  std::string home;                                            // --home DIR
  std::vector<std::pair<std::string, std::string>> variables;  // --var NAME=VALUE, in order
};

// Parses argv[1..]; on a mistake returns nullopt and says why in `error`.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The --help text; it names the documentation where it is installed.
std::string UsageText();

// The --version line of `program`: "halvane-host 1.0.0".
std::string VersionText(std::string_view program);

}  // namespace host

#endif
