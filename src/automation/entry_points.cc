// The library's exported entry points: registration in the class registry, the class factory of
// "Halvane.DMRadio", and whether the library may be unloaded.
#include <dlfcn.h>

#include <cstring>

#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "plugin/dm_radio.h"
#include "runtime/ascii.h"

namespace {

std::string OwnLibraryPath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&DllGetClassObject), &info) == 0 || !info.dli_fname)
    return {};
  return info.dli_fname;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t DllRegisterServer(void) {
  std::string path = OwnLibraryPath();
  if (path.empty()) return HALVANE_E_REGISTRY;
  bool ok = halvane::IgnoreErrors([&] { halvane::RegisterLibraryClass(HALVANE_PROGID, path); });
  return ok ? HALVANE_S_OK : HALVANE_E_REGISTRY;
}

extern "C" __attribute__((visibility("default"))) int32_t DllUnregisterServer(void) {
  bool ok = halvane::IgnoreErrors([] { halvane::UnregisterLibraryClass(HALVANE_PROGID); });
  return ok ? HALVANE_S_OK : HALVANE_E_REGISTRY;
}

extern "C" __attribute__((visibility("default"))) int32_t DllGetClassObject(const char* progId,
                                                                            void** factory) {
  static halvane::ClassFactory radioFactory = []() -> std::shared_ptr<halvane::Dispatch> {
    return std::make_shared<halvane::DMRadio>(halvane::LibraryComponent());
  };
  if (factory == nullptr) return HALVANE_E_CLASSNOTAVAILABLE;
  *factory = nullptr;
  if (progId == nullptr || !halvane::EqualsIgnoringAsciiCase(progId, HALVANE_PROGID))
    return HALVANE_E_CLASSNOTAVAILABLE;
  *factory = &radioFactory;
  return HALVANE_S_OK;
}

extern "C" __attribute__((visibility("default"))) int32_t DllCanUnloadNow(void) {
  return halvane::LiveObjectCount() == 0 ? HALVANE_S_OK : HALVANE_S_FALSE;
}
