// halvane-radio: the graphical radio of the HalvaneDM plug-in, drawn by a GTK skin.
#include <iostream>
#include <string>
#include <vector>

#include "options.h"
#include "radio_app.h"
#include "radio_options.h"

int main(int argc, char** argv) {
  std::string error;
  auto options =
      host::gtk::ParseRadioOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "halvane-radio: " << error << "\n" << host::gtk::RadioUsageText();
    return 2;
  }
  if (options->help) {
    std::cout << host::gtk::RadioUsageText();
    return 0;
  }
  if (options->version) {
    std::cout << host::VersionText("halvane-radio");
    return 0;
  }
  return host::gtk::RunRadioApp(*options);
}
