#include "driver_floor.h"

#include <stdexcept>

namespace bench {

std::string InstantDriverHome() { return std::string(INSTANT_DRIVER_HOME) + "/"; }

const std::string& InstantDriverPath() {
  static const std::string path = [] {
    std::string p = InstantDriverHome() + "RadioModules/Halvane/Radio_IO.so";
    // Loaded once here so that no benchmark pays for the first mapping.
    if (::dlopen(p.c_str(), RTLD_NOW) == nullptr)
      throw std::runtime_error("instant driver missing: " + p);
    return p;
  }();
  return path;
}

}  // namespace bench
