// The smallest host of the radio plug-in: an SDK object registered in-process, the plug-in
// created by its class name, started on the installed simulated tuner, and asked its frequency.
#include <cstdio>
#include <memory>

#include "halvane/dispatch.h"
#include "halvane/dm_radio.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"

int main() {
  auto sdk = std::make_shared<halvane::MemberTable>();
  sdk->Define("GetInfo", [](halvane::CallKind, std::span<halvane::Variant> args) {
    // "=$DMPath$": the folder of the installed host, where the driver lies under RadioModules/.
    return halvane::Variant(args[0].ToString() == "=$DMPath$" ? HALVANE_HOST_DIR : "");
  });
  halvane::RegisterClassObject(HALVANE_SDK_PROGID, [sdk] { return sdk; });
  if (DllRegisterServer() != HALVANE_S_OK) {
    std::printf("registration failed\n");
    return 1;
  }
  try {
    auto object = halvane::CreateObject(HALVANE_PROGID);
    auto radio = std::dynamic_pointer_cast<halvane::IDMRadio>(object);
    if (!radio) {
      std::printf("no IDMRadio\n");
      return 1;
    }
    radio->StartRadio();
    bool on = true;
    radio->SetActive(on);
    std::printf("%s %s %d\n", radio->GetName().c_str(), radio->Check() ? "ready" : "not ready",
                radio->Freq());
    radio->StopRadio();
  } catch (const halvane::RuntimeError& e) {
    std::printf("error %d\n", e.number());
    return 1;
  }
  return 0;
}
