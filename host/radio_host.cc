#include "radio_host.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "channel_raster.h"
#include "driver_volume.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "host_settings.h"

namespace host {
namespace {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string LoadedPluginLibrary() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&DllGetClassObject), &info) == 0 || !info.dli_fname)
    return {};
  return info.dli_fname;
}

}  // namespace

bool RegistryNamesLoadedLibrary() {
  std::string registered = halvane::RegisteredLibrary(HALVANE_PROGID);
  // Another copy of the library would have its own in-process classes and never find the SDK
  // object this host registers: only the loaded file will do.
  return !registered.empty() && SameFile(registered, LoadedPluginLibrary());
}

RadioHost::RadioHost(Folders folders, const std::string& hostFolder)
    : folders_(std::move(folders)) {
  sdk_->SetVariable("DMPath", hostFolder);
  sdk_->SetVariable("dmartpath", folders_.art);
  // FM steps as the listener's region spaces the channels; --var allowallfreqs= sets it after.
  sdk_->SetVariable(
      "allowallfreqs",
      AllowAllFrequencies(HostSettings(folders_.config + kSettingsFile), RegionLocaleName()));
  sdk_->SetUserVariable("skinpath", folders_.skin);
  sdk_->SetLogFile(folders_.logFile);
  std::weak_ptr<SdkObject> weak = sdk_;
  halvane::RegisterClassObject(
      HALVANE_SDK_PROGID, [weak]() -> std::shared_ptr<halvane::Dispatch> { return weak.lock(); });
}

RadioHost::~RadioHost() {
  Destroy();
  halvane::RevokeClassObject(HALVANE_SDK_PROGID);
}

void RadioHost::Create() {
  Destroy();
  volumeRead_ = false;
  if (!RegistryNamesLoadedLibrary() && DllRegisterServer() != HALVANE_S_OK) {
    // No class registry can be written (a read-only home): the plug-in this host has loaded
    // serves its class in-process for this run.
    void* factory = nullptr;
    if (DllGetClassObject(HALVANE_PROGID, &factory) != HALVANE_S_OK || factory == nullptr)
      halvane::Raise(halvane::kCantCreateObject, "can't register " HALVANE_PROGID);
    halvane::RegisterClassObject(HALVANE_PROGID, *static_cast<halvane::ClassFactory*>(factory));
  }
  auto object = halvane::CreateObject(HALVANE_PROGID);
  auto* radio = dynamic_cast<halvane::IDMRadio*>(object.get());
  if (radio == nullptr) halvane::Raise(halvane::kTypeMismatch, HALVANE_PROGID);
  dispatch_ = std::move(object);
  radio_ = radio;
  // The plug-in saves presets without reporting failures: say it here, once, when it can't.
  if (!MakeFolders(folders_) || ::access(folders_.data.c_str(), W_OK) != 0)
    std::cerr << "halvane-host: can't make the folders for presets and settings ("
              << folders_.config << ", " << folders_.data << "); nothing will be saved\n";
  radio_->ConfigPath(folders_.config);
  radio_->CachePath(folders_.data);
}

void RadioHost::Destroy() {
  radio_ = nullptr;
  dispatch_.reset();
}

const std::shared_ptr<halvane::Dispatch>& RadioHost::Dispatch() const {
  if (!dispatch_) halvane::Raise(halvane::kNoObject, HALVANE_PROGID);
  return dispatch_;
}

halvane::IDMRadio& RadioHost::Radio() const {
  if (radio_ == nullptr) halvane::Raise(halvane::kNoObject, HALVANE_PROGID);
  return *radio_;
}

std::string RadioHost::DriverPath() const { return sdk_->Variable("DMPath") + kDriverRelativePath; }

std::optional<int32_t> RadioHost::Volume() {
  if (!volumeRead_) {
    volume_ = ReadDriverVolume(DriverPath());
    volumeRead_ = true;
  }
  return volume_;
}

bool RadioHost::SetVolume(int32_t percent) {
  percent = std::clamp(percent, 0, 100);
  if (!WriteDriverVolume(DriverPath(), percent)) return false;
  volume_ = percent;
  volumeRead_ = true;
  return true;
}

}  // namespace host
