#include "folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace host {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// An XDG base folder: the variable when it holds an absolute path (relative ones are invalid
// and ignored), else the default below $HOME; "" when $HOME is no absolute folder either.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
  std::string value = Env(variable);
  if (!value.empty() && value[0] == '/') return WithSlash(value);
  std::string home = Env("HOME");
  if (home.empty() || home[0] != '/') return {};
  return WithSlash(home) + fallbackBelowHome;
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  std::vector<char> buf(4096);
  if (::getcwd(buf.data(), buf.size()) == nullptr) return path;
  return WithSlash(buf.data()) + path;
}

}  // namespace

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

Folders ResolveFolders(const std::string& homeOption) {
  Folders f;
  if (!homeOption.empty()) {
    f.home = WithSlash(Absolute(homeOption));
    f.config = f.home + "config/";
    f.data = f.home + "data/";
    f.art = f.home + "art/";
    f.skin = f.home + "skin/";
    f.logFile = f.home + "halvane.log";
    return f;
  }
  const std::string config = XdgFolder("XDG_CONFIG_HOME", ".config/");
  const std::string data = XdgFolder("XDG_DATA_HOME", ".local/share/");
  const std::string state = XdgFolder("XDG_STATE_HOME", ".local/state/");
  if (config.empty() || data.empty() || state.empty()) {
    f.problem =
        "HOME is not set (nor XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_STATE_HOME), so there is "
        "no folder of yours to keep presets in; set HOME or use --home DIR";
    return f;
  }
  f.config = config + "halvane/";
  f.data = data + "halvane/";
  f.art = f.data + "art/";
  f.skin = f.data + "skin/";
  f.logFile = state + "halvane/halvane.log";
  return f;
}

bool MakeFolderPath(const std::string& folder) {
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i < folder.size() && folder[i] != '/') continue;
    std::string part = folder.substr(0, i);
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolders(const Folders& f) {
  bool ok = true;
  for (const std::string* folder : {&f.config, &f.data, &f.art, &f.skin})
    ok = MakeFolderPath(*folder) && ok;
  std::string logFolder = f.logFile.substr(0, f.logFile.rfind('/') + 1);
  return MakeFolderPath(logFolder) && ok;
}

std::string ProgramFolder() {
  std::vector<char> buf(4096);
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return "./";
  std::string path(buf.data(), static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

}  // namespace host
