#include "programme/soundfont.h"

#include <sys/stat.h>

#include <array>
#include <cstdlib>

namespace halvane::driver::programme {
namespace {

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::optional<std::string> FindSoundfont() {
  if (const char* chosen = std::getenv("HALVANE_SOUNDFONT"); chosen != nullptr && *chosen != 0) {
    if (IsFile(chosen)) return std::string(chosen);
    return std::nullopt;
  }
  static constexpr std::array<const char*, 4> kInstalled{
      "/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
      "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};
  for (const char* path : kInstalled) {
    if (IsFile(path)) return std::string(path);
  }
  return std::nullopt;
}

}  // namespace halvane::driver::programme
