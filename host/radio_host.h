// What both modes of the host share: the SDK object, the three screens, the folders, and the
// plug-in object created by its class name.
#ifndef HALVANE_HOST_RADIO_HOST_H
#define HALVANE_HOST_RADIO_HOST_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "folders.h"
#include "halvane/dm_radio.h"
#include "screen_objects.h"
#include "sdk_object.h"

namespace host {

inline constexpr const char* kDriverRelativePath = "RadioModules/Halvane/Radio_IO.so";

class RadioHost {
 public:
  // Registers the SDK class in-process and sets the host variables from the folders:
  // "=$DMPath$" the host folder (DriverHostFolder), "=$dmartpath$" the art folder, "skinpath" the
  // skin folder.
  RadioHost(Folders folders, const std::string& hostFolder);
  ~RadioHost();
  RadioHost(const RadioHost&) = delete;
  RadioHost& operator=(const RadioHost&) = delete;

  // Creates "Halvane.DMRadio" (registering the plug-in library this program is linked with when
  // the class registry has no entry for it, or one naming another file), makes the folders and
  // sets ConfigPath and CachePath. A plug-in created before is released first. Raises the
  // run-time error of a failed creation.
  void Create();
  void Destroy();
  bool HasPlugin() const { return dispatch_ != nullptr; }

  // The plug-in, late-bound and early-bound; both raise error 91 when none is created.
  const std::shared_ptr<halvane::Dispatch>& Dispatch() const;
  halvane::IDMRadio& Radio() const;

  // The driver library the plug-in will load: "=$DMPath$" + "RadioModules/Halvane/Radio_IO.so".
  std::string DriverPath() const;

  // The driver's volume in percent, nothing when it has no volume control: asked of the driver
  // once after each Create, then kept, so the faces and the desktop's media interface share it.
  std::optional<int32_t> Volume();
  // Sets it (0 to 100, beyond taken as the nearer end); false without a volume control.
  bool SetVolume(int32_t percent);

  const Folders& folders() const { return folders_; }
  SdkObject& sdk() { return *sdk_; }

  std::shared_ptr<ScreenObject> radioScreen = MakeRadioScreen();
  std::shared_ptr<ScreenObject> keyboardScreen = MakeKeyboardScreen();
  std::shared_ptr<ScreenObject> plainScreen = MakePlainScreen();

 private:
  Folders folders_;
  std::shared_ptr<SdkObject> sdk_ = std::make_shared<SdkObject>();
  std::shared_ptr<halvane::Dispatch> dispatch_;
  halvane::IDMRadio* radio_ = nullptr;  // the same object as dispatch_
  bool volumeRead_ = false;
  std::optional<int32_t> volume_;
};

// Whether the class registry names, for "Halvane.DMRadio", the very file of the plug-in library
// this program has loaded.
bool RegistryNamesLoadedLibrary();

}  // namespace host

#endif
