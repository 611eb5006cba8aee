// Creation of objects by class name, in-process registrations first, then the registry file.
#include <dlfcn.h>

#include <cstdlib>
#include <map>

#include "halvane/dispatch.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "runtime/ascii.h"
#include "runtime/text_file.h"

namespace halvane {
namespace {

std::map<std::string, ClassFactory>& InProcessClasses() {
  static std::map<std::string, ClassFactory> classes;
  return classes;
}

// Makes every missing folder on the way to `folder`.
void MakeFolders(const std::string& folder) {
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '/') {
      std::string part = folder.substr(0, i);
      if (!IsDirectory(part)) MakeDirectory(part);
    }
  }
}

// The registry's lines as (ProgId, path) pairs; class names compare without regard to case.
std::vector<std::pair<std::string, std::string>> ReadRegistry() {
  std::vector<std::pair<std::string, std::string>> rows;
  auto lines = ReadTextLines(ClassRegistryPath(), kClassRegistryLimit);
  if (!lines) return rows;
  for (const auto& line : *lines) {
    auto eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    rows.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return rows;
}

void WriteRegistry(const std::vector<std::pair<std::string, std::string>>& rows) {
  std::string path = ClassRegistryPath();
  MakeFolders(path.substr(0, path.rfind('/')));
  std::vector<std::string> lines;
  for (const auto& [id, lib] : rows) lines.push_back(id + "=" + lib);
  WriteTextLinesAtomically(path, lines);
}

}  // namespace

void RegisterClassObject(const std::string& progId, ClassFactory factory) {
  InProcessClasses()[AsciiLowered(progId)] = std::move(factory);
}

void RevokeClassObject(const std::string& progId) {
  InProcessClasses().erase(AsciiLowered(progId));
}

std::string ClassRegistryPath() {
  if (const char* p = std::getenv("HALVANE_CLASS_REGISTRY"); p && *p) return p;
  std::string data;
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/')
    data = x;
  else if (const char* h = std::getenv("HOME"); h && *h)
    data = std::string(h) + "/.local/share";
  else
    data = "/tmp";
  return data + "/halvane/classes.reg";
}

void RegisterLibraryClass(const std::string& progId, const std::string& libraryPath) {
  auto rows = ReadRegistry();
  bool found = false;
  for (auto& row : rows)
    if (AsciiLowered(row.first) == AsciiLowered(progId)) {
      row.second = libraryPath;
      found = true;
    }
  if (!found) rows.emplace_back(progId, libraryPath);
  WriteRegistry(rows);
}

void UnregisterLibraryClass(const std::string& progId) {
  auto rows = ReadRegistry();
  std::erase_if(rows,
                [&](const auto& row) { return AsciiLowered(row.first) == AsciiLowered(progId); });
  WriteRegistry(rows);
}

std::string RegisteredLibrary(const std::string& progId) {
  for (const auto& row : ReadRegistry())
    if (AsciiLowered(row.first) == AsciiLowered(progId)) return row.second;
  return {};
}

std::shared_ptr<Dispatch> CreateObject(const std::string& progId) {
  auto& classes = InProcessClasses();
  if (auto it = classes.find(AsciiLowered(progId)); it != classes.end()) {
    auto object = it->second();
    if (!object) Raise(kCantCreateObject, progId);
    return object;
  }
  std::string library = RegisteredLibrary(progId);
  if (library.empty()) Raise(kCantCreateObject, progId);
  // Like any in-process server, the library stays loaded once an object has come from it.
  void* handle = ::dlopen(library.c_str(), RTLD_NOW);
  if (handle == nullptr) Raise(kCantCreateObject, progId + " (" + library + ")");
  using GetClassObject = int32_t (*)(const char*, void**);
  auto get = reinterpret_cast<GetClassObject>(::dlsym(handle, "DllGetClassObject"));
  void* factory = nullptr;
  if (get == nullptr || get(progId.c_str(), &factory) != HALVANE_S_OK || factory == nullptr)
    Raise(kCantCreateObject, progId);
  auto object = (*static_cast<ClassFactory*>(factory))();
  if (!object) Raise(kCantCreateObject, progId);
  return object;
}

}  // namespace halvane
