#include "installed_paths.h"

#include <sys/stat.h>

#include <filesystem>

#include "radio_host.h"

namespace host {
namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// "/usr/bin/../lib/" as "/usr/lib/": the path a user reads in a message or types.
std::string Tidy(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace

std::string DriverHostFolder(const std::string& programFolder) {
  if (IsFile(programFolder + std::string(kDriverRelativePath))) return programFolder;
  return Tidy(programFolder + HALVANE_MODULES_FROM_BIN);
}

std::string DocumentPath(const std::string& programFolder, std::string_view page) {
  // The documentation package keeps the pages in its own folder, compressed as Debian compresses
  // documents; a plain installation keeps them in the project's folder.
  for (const char* folder : {"halvane-doc/docs/", "halvane/docs/"}) {
    const std::string path =
        Tidy(programFolder + HALVANE_DOCS_FROM_BIN + folder + std::string(page));
    for (const std::string& file : {path, path + ".gz"})
      if (IsFile(file)) return file;
  }
  return "docs/" + std::string(page);
}

}  // namespace host
