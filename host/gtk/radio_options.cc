#include "radio_options.h"

#include <cstdlib>

#include "folders.h"
#include "installed_paths.h"

namespace host::gtk {

std::optional<RadioOptions> ParseRadioOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  RadioOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--version") {
      options.version = true;
      continue;
    }
    if (arg == "--night") {
      options.night = true;
      continue;
    }
    // The others take a value: "--name VALUE" or "--name=VALUE".
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    if (name != "--home" && name != "--skin" && name != "--screenshot" && name != "--command" &&
        name != "--tap" && name != "--type" && name != "--after" && name != "--var") {
      error = "unknown option \"" + arg + "\"";
      return std::nullopt;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = name + " needs a value";
      return std::nullopt;
    }
    if (name == "--home" || name == "--skin" || name == "--screenshot") {
      if (value.empty()) {
        error = name + " needs a path";
        return std::nullopt;
      }
      (name == "--home"   ? options.home
       : name == "--skin" ? options.skin
                          : options.screenshot) = value;
    } else if (name == "--command") {
      options.commands.push_back(value);
    } else if (name == "--tap") {
      options.taps.push_back(value);
    } else if (name == "--type") {
      options.typed = value;
    } else if (name == "--after") {
      char* end = nullptr;
      const long ms = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || ms < 0 || ms > 600000) {
        error = "--after needs milliseconds from 0 to 600000, got \"" + value + "\"";
        return std::nullopt;
      }
      options.afterMs = static_cast<int32_t>(ms);
    } else {  // --var
      const size_t split = value.find('=');
      if (split == std::string::npos || split == 0) {
        error = "--var needs NAME=VALUE, got \"" + value + "\"";
        return std::nullopt;
      }
      options.variables.emplace_back(value.substr(0, split), value.substr(split + 1));
    }
  }
  return options;
}

std::string RadioUsageText() {
  return "usage: halvane-radio [--home DIR] [--var NAME=VALUE]... [--skin DIR] [--night]\n"
         "                     [--command CMD]... [--tap ACTION]... [--type TEXT]\n"
         "                     [--screenshot FILE [--after MS]]\n"
         "\n"
         "Plays the HalvaneDM radio plug-in in a window drawn by a skin.\n"
         "\n"
         "  --home DIR         keep config/, data/, art/ and halvane.log under DIR\n"
         "  --var NAME=VALUE   set a host variable (\"=$NAME$\"); repeatable\n"
         "  --skin DIR         the skin folder (radio_player.ui, osk.ui, style.css, pictures);\n"
         "                     a skin that fails to load is reported and the default one used\n"
         "  --night            start with the night style\n"
         "  --command CMD      send a command string from the radio screen once started, as a\n"
         "                     tap would (repeatable; \"addpreset\" opens the keyboard screen)\n"
         "  --tap ACTION       then tap a button of the radio screen's ACTION without a target\n"
         "                     (more, help, night, traffic; repeatable)\n"
         "  --type TEXT        then put TEXT on the keyboard screen\n"
         "  --screenshot FILE  draw the window into the PNG FILE after --after MS milliseconds\n"
         "                     (1000 by default) and quit\n"
         "  --help             this text\n"
         "  --version          the radio's version\n"
         "\n"
         "Skins, and how to make one, are described in\n  " +
         DocumentPath(ProgramFolder(), "skins.md") + "\n";
}

}  // namespace host::gtk
