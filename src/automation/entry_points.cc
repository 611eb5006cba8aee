// The library's exported entry points: registration in the class registry, the class factory of
// "Halvane.DMRadio", and whether the library may be unloaded. They are C functions a host calls
// from any language, so no exception leaves them: each answers a failure as an error result.
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "automation/library_class.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "runtime/ascii.h"

namespace {

// The path the system loaded this library from, absolute and canonical: the name dladdr gives is
// the one the loader was handed, relative when the library was opened by a relative path, and
// it would name another file (or none) from another folder. The process's own map of what is
// loaded where holds the path the system resolved.
std::string OwnLibraryPath() {
  const auto self = reinterpret_cast<uintptr_t>(&DllGetClassObject);
  std::string found;
  if (FILE* maps = std::fopen("/proc/self/maps", "re")) {
    char* line = nullptr;
    size_t size = 0;
    while (found.empty() && ::getline(&line, &size, maps) > 0) {
      unsigned long long from = 0, to = 0;
      int pathAt = 0;
      if (std::sscanf(line, "%llx-%llx %*s %*s %*s %*s %n", &from, &to, &pathAt) < 2) continue;
      if (self < from || self >= to || line[pathAt] != '/') continue;
      found.assign(line + pathAt, std::strcspn(line + pathAt, "\n"));
    }
    std::free(line);
    std::fclose(maps);
  }
  if (found.empty()) {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&DllGetClassObject), &info) == 0 || !info.dli_fname)
      return {};
    found = info.dli_fname;
  }
  char canonical[PATH_MAX];
  if (::realpath(found.c_str(), canonical) == nullptr) return {};
  return canonical;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t DllRegisterServer(void) {
  try {
    std::string path = OwnLibraryPath();
    if (path.empty()) return HALVANE_E_REGISTRY;
    bool ok = halvane::IgnoreErrors([&] { halvane::RegisterLibraryClass(HALVANE_PROGID, path); });
    return ok ? HALVANE_S_OK : HALVANE_E_REGISTRY;
  } catch (...) {
    return HALVANE_E_REGISTRY;
  }
}

extern "C" __attribute__((visibility("default"))) int32_t DllUnregisterServer(void) {
  try {
    bool ok = halvane::IgnoreErrors([] { halvane::UnregisterLibraryClass(HALVANE_PROGID); });
    return ok ? HALVANE_S_OK : HALVANE_E_REGISTRY;
  } catch (...) {
    return HALVANE_E_REGISTRY;
  }
}

extern "C" __attribute__((visibility("default"))) int32_t DllGetClassObject(const char* progId,
                                                                            void** factory) {
  try {
    if (factory == nullptr) return HALVANE_E_CLASSNOTAVAILABLE;
    *factory = nullptr;
    if (progId == nullptr || !halvane::EqualsIgnoringAsciiCase(progId, HALVANE_PROGID))
      return HALVANE_E_CLASSNOTAVAILABLE;
    *factory = &halvane::LibraryClassFactory();
    return HALVANE_S_OK;
  } catch (...) {
    return HALVANE_E_CLASSNOTAVAILABLE;
  }
}

extern "C" __attribute__((visibility("default"))) int32_t DllCanUnloadNow(void) {
  try {
    return halvane::LiveObjectCount() == 0 ? HALVANE_S_OK : HALVANE_S_FALSE;
  } catch (...) {
    return HALVANE_S_FALSE;  // when in doubt, the library stays
  }
}
