// halvane-host: the reference host of the HalvaneDM radio plug-in. On a terminal it plays the
// radio; with --batch it answers actions read from standard input.
#include <glib.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "batch_session.h"
#include "data_lock.h"
#include "folders.h"
#include "installed_paths.h"
#include "mpris.h"
#include "options.h"
#include "radio_host.h"
#include "serving_input.h"
#include "terminal_ui.h"

int main(int argc, char** argv) {
  std::string error;
  auto options = host::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "halvane-host: " << error << "\n" << host::UsageText();
    return 2;
  }
  if (options->help) {
    std::cout << host::UsageText();
    return 0;
  }
  if (options->version) {
    std::cout << host::VersionText("halvane-host");
    return 0;
  }
  if (!options->batch && !(::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO))) {
    std::cerr << "halvane-host: the radio needs a terminal; use --batch to run actions from "
                 "standard input\n";
    return 2;
  }

  host::Folders folders = host::ResolveFolders(options->home);
  // One radio per data folder, held until the process ends.
  std::string why;
  const std::unique_ptr<host::DataLock> lock = host::ClaimDataFolder(folders, why);
  if (!lock) {
    std::cerr << "halvane-host: " << why << "\n";
    return 1;
  }
  host::RadioHost radioHost(std::move(folders), host::DriverHostFolder(host::ProgramFolder()));
  for (const auto& [name, value] : options->variables) radioHost.sdk().SetVariable(name, value);

  if (options->batch) {
    host::BatchSession session(radioHost, !options->realClock);
    // The desktop is answered between actions on a context of its own, so the plug-in's timers
    // still tick only inside "wait".
    GMainContext* desktop = g_main_context_new();
    {
      host::Mpris mpris(radioHost, desktop, "halvane-host", std::cerr);
      host::ServingInput input(STDIN_FILENO, desktop);
      std::istream in(&input);
      session.Run(in, std::cout, [&] { mpris.Refresh(); });
    }
    g_main_context_unref(desktop);
    return 0;
  }
  return host::RunTerminalRadio(radioHost);
}
