// Registers the plug-in, creates it by its class name and prints what it is.
#include <cstdio>

#include "halvane/dispatch.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"

int main() {
  if (DllRegisterServer() != HALVANE_S_OK) {
    std::fprintf(stderr, "could not register %s in %s\n", HALVANE_PROGID,
                 halvane::ClassRegistryPath().c_str());
    return 1;
  }
  try {
    auto radio = halvane::CreateObject(HALVANE_PROGID);
    std::printf("%s\n", radio->Invoke("GetName", halvane::CallKind::Method, {}).ToString().c_str());
    std::printf("tuner type %s\n", halvane::GetProperty(radio, "TunerType").ToString().c_str());
  } catch (const halvane::RuntimeError& e) {
    std::fprintf(stderr, "error %d: %s\n", e.number(), e.what());
    return 1;
  }
  return 0;
}
