#include "options.h"

#include "folders.h"
#include "installed_paths.h"

namespace host {

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // "--name VALUE" or "--name=VALUE".
    auto value = [&](const std::string& name, std::string& out) {
      if (arg == name) {
        if (i + 1 >= args.size()) {
          error = name + " needs a value";
          return false;
        }
        out = args[++i];
        return true;
      }
      out = arg.substr(name.size() + 1);
      return true;
    };
    auto is = [&](const std::string& name) { return arg == name || arg.rfind(name + "=", 0) == 0; };
    if (arg == "--batch") {
      options.batch = true;
    } else if (arg == "--real-clock") {
      options.realClock = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (is("--home")) {
      if (!value("--home", options.home)) return std::nullopt;
      if (options.home.empty()) {
        error = "--home needs a folder";
        return std::nullopt;
      }
    } else if (is("--var")) {
      std::string assignment;
      if (!value("--var", assignment)) return std::nullopt;
      size_t eq = assignment.find('=');
      if (eq == std::string::npos || eq == 0) {
        error = "--var needs NAME=VALUE, got \"" + assignment + "\"";
        return std::nullopt;
      }
      options.variables.emplace_back(assignment.substr(0, eq), assignment.substr(eq + 1));
    } else {
      error = "unknown option \"" + arg + "\"";
      return std::nullopt;
    }
  }
  return options;
}

std::string UsageText() {
  return "usage: halvane-host [--batch [--real-clock]] [--home DIR] [--var NAME=VALUE]...\n"
         "\n"
         "Plays the HalvaneDM radio plug-in in a terminal, or, with --batch, runs actions read\n"
         "from standard input and prints one answer line for each.\n"
         "\n"
         "  --batch          actions from standard input; the simulated tuner's clock moves\n"
         "                   only in \"wait\", so answers never depend on timing\n"
         "  --real-clock     with --batch: leave the simulated tuner's clock running\n"
         "  --home DIR       keep config/, data/, art/, skin/ and halvane.log under DIR\n"
         "  --var NAME=VALUE set a host variable (\"=$NAME$\"); --var DMPath=DIR/ points at the\n"
         "                   driver DIR/RadioModules/Halvane/Radio_IO.so\n"
         "  --help           this text\n"
         "  --version        the host's version\n"
         "\n"
         "The actions, their answers and the folders are described in\n  " +
         DocumentPath(ProgramFolder(), "host.md") + "\n";
}

std::string VersionText(std::string_view program) {
  return std::string(program) + " " + HALVANE_VERSION + "\n";
}

}  // namespace host
