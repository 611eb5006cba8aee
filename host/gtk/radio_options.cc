#include "radio_options.h"

#include <cstdlib>

namespace host::gtk {

std::optional<RadioOptions> ParseRadioOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  RadioOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string value;
    // "--name VALUE" or "--name=VALUE".
    auto takes = [&](const std::string& name) {
      if (arg == name) {
        if (i + 1 >= args.size()) {
          error = name + " needs a value";
          return false;
        }
        value = args[++i];
        return true;
      }
      if (arg.rfind(name + "=", 0) == 0) {
        value = arg.substr(name.size() + 1);
        return true;
      }
      return false;
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--night") {
      options.night = true;
    } else if (takes("--home")) {
      options.home = value;
    } else if (takes("--skin")) {
      options.skin = value;
    } else if (takes("--command")) {
      options.commands.push_back(value);
    } else if (takes("--type")) {
      options.typed = value;
    } else if (takes("--screenshot")) {
      options.screenshot = value;
    } else if (takes("--after")) {
      char* end = nullptr;
      const long ms = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || ms < 0 || ms > 600000) {
        error = "--after needs milliseconds from 0 to 600000, got \"" + value + "\"";
        return std::nullopt;
      }
      options.afterMs = static_cast<int32_t>(ms);
    } else if (takes("--var")) {
      const size_t eq = value.find('=');
      if (eq == std::string::npos || eq == 0) {
        error = "--var needs NAME=VALUE, got \"" + value + "\"";
        return std::nullopt;
      }
      options.variables.emplace_back(value.substr(0, eq), value.substr(eq + 1));
    } else {
      if (error.empty()) error = "unknown option \"" + arg + "\"";
      return std::nullopt;
    }
    if (!error.empty()) return std::nullopt;
    if ((arg == "--home" || arg.rfind("--home=", 0) == 0 || arg == "--skin" ||
         arg.rfind("--skin=", 0) == 0 || arg == "--screenshot" ||
         arg.rfind("--screenshot=", 0) == 0) &&
        value.empty()) {
      error = arg.substr(0, arg.find('=')) + " needs a path";
      return std::nullopt;
    }
  }
  return options;
}

const char* RadioUsageText() {
  return "usage: halvane-radio [--home DIR] [--var NAME=VALUE]... [--skin DIR] [--night]\n"
         "                     [--command CMD]... [--type TEXT] [--screenshot FILE [--after MS]]\n"
         "\n"
         "Plays the HalvaneDM radio plug-in in a window drawn by a skin (see docs/skins.md).\n"
         "\n"
         "  --home DIR         keep config/, data/, art/ and halvane.log under DIR\n"
         "  --var NAME=VALUE   set a host variable (\"=$NAME$\"); repeatable\n"
         "  --skin DIR         the skin folder (radio_player.ui, osk.ui, style.css, pictures);\n"
         "                     a skin that fails to load is reported and the default one used\n"
         "  --night            start with the night style\n"
         "  --command CMD      send a command string from the radio screen once started, as a\n"
         "                     tap would (repeatable; \"addpreset\" opens the keyboard screen)\n"
         "  --type TEXT        then put TEXT on the keyboard screen\n"
         "  --screenshot FILE  draw the window into the PNG FILE after --after MS milliseconds\n"
         "                     (1000 by default) and quit\n"
         "  --help             this text\n";
}

}  // namespace host::gtk
