// The names of the files the plug-in keeps in the host's folders, for hosts that show or check
// them: the preset lists in CachePath, named presets in ConfigPath.
#ifndef HALVANE_FILE_NAMES_H
#define HALVANE_FILE_NAMES_H

#include <string>

namespace halvane {

inline constexpr const char* kMainListFile = "Radio.ini";
inline constexpr const char* kLocalListFile = "RadioLocal.ini";
inline constexpr const char* kNamedPresetFolder = "FMPresets";
inline constexpr const char* kNamedPresetExtension = ".fm";

// The file of the named preset `name`, below the configuration folder `configPath` (which ends
// with a path separator, as every host folder does).
inline std::string NamedPresetFile(const std::string& configPath, const std::string& name) {
  return configPath + kNamedPresetFolder + "/" + name + kNamedPresetExtension;
}

}  // namespace halvane

#endif
