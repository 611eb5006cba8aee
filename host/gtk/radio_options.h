// The command line of halvane-radio.
#ifndef HALVANE_HOST_GTK_RADIO_OPTIONS_H
#define HALVANE_HOST_GTK_RADIO_OPTIONS_H

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace host::gtk {

struct RadioOptions {
  std::string home;                                            // --home DIR
  std::vector<std::pair<std::string, std::string>> variables;  // --var NAME=VALUE, in order
  std::string skin;                                            // --skin DIR; "" for the default
  bool night = false;                                          // --night
  std::vector<std::string> commands;  // --command CMD: sent from the radio screen after start
  std::vector<std::string> taps;      // --tap ACTION: "radio.ACTION" tapped after the commands
  std::optional<std::string> typed;   // --type TEXT: the keyboard screen's text after them
  std::string screenshot;             // --screenshot FILE
  int32_t afterMs = 1000;             // --after MS
  bool help = false;
  bool version = false;  // --version
};

// Parses argv[1..]; on a mistake returns nullopt and says why in `error`.
std::optional<RadioOptions> ParseRadioOptions(const std::vector<std::string>& args,
                                              std::string& error);

// The --help text; it names the skin documentation where it is installed.
std::string RadioUsageText();

}  // namespace host::gtk

#endif
