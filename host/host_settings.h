// What the host itself keeps between runs (the volume), one "name=value" a line in
// "halvane-host.ini" in the configuration folder. Unknown names are kept as they are.
#ifndef HALVANE_HOST_HOST_SETTINGS_H
#define HALVANE_HOST_HOST_SETTINGS_H

#include <map>
#include <optional>
#include <string>

namespace host {

inline constexpr const char* kSettingsFile = "halvane-host.ini";

class HostSettings {
 public:
  // Reads the file when there is one: a regular file of at most 64 KiB; anything else reads as
  // no settings.
  explicit HostSettings(std::string path);

  std::optional<std::string> Get(const std::string& name) const;
  // A number in `low`..`high`, or nothing when the setting is missing or no such number.
  std::optional<int> GetNumber(const std::string& name, int low, int high) const;
  void Set(const std::string& name, std::string value);
  // Writes the file (through a new file renamed over the old); false when it can't be written.
  bool Save() const;

 private:
  std::string path_;
  std::map<std::string, std::string> values_;
};

}  // namespace host

#endif
