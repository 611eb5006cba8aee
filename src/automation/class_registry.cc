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
// A path is bytes as the system takes them: never decoded, so it names the same file it did.
std::vector<std::pair<std::string, std::string>> ReadRegistry() {
  std::vector<std::pair<std::string, std::string>> rows;
  const std::string path = ClassRegistryPath();
  if (path.empty()) return rows;
  auto bytes = ReadFileBytes(path, kClassRegistryLimit);
  if (!bytes) return rows;
  for (std::string_view line : SplitLines(WithoutByteOrderMark(*bytes))) {
    auto eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    rows.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return rows;
}

void WriteRegistry(const std::vector<std::pair<std::string, std::string>>& rows) {
  const std::string path = ClassRegistryPath();
  if (path.empty())
    Raise(kPathFileAccess, "no class registry: neither HOME nor XDG_DATA_HOME names a folder");
  // A registry named without a folder lies in the current one, which exists.
  if (const size_t slash = path.rfind('/'); slash != std::string::npos && slash > 0)
    MakeFolders(path.substr(0, slash));
  std::vector<std::string> lines;
  lines.reserve(rows.size());
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

// Paths in the registry are bytes, kept as written. There is no registry ("") when neither
// HALVANE_CLASS_REGISTRY nor an absolute XDG_DATA_HOME or HOME names one: registering then
// raises 75, and no class is found in it.
std::string ClassRegistryPath() {
  if (const char* p = std::getenv("HALVANE_CLASS_REGISTRY"); p && *p) return p;
  // Only a folder the user keeps data in: never a shared one such as /tmp, where anyone could
  // put a registry naming their own code.
  std::string data;
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/')
    data = x;
  else if (const char* h = std::getenv("HOME"); h && *h == '/')
    data = std::string(h) + "/.local/share";
  else
    return {};
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
  // A relative path would be looked up from whatever folder the process runs in.
  if (library.front() != '/') Raise(kCantCreateObject, progId + " (" + library + " is relative)");
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
