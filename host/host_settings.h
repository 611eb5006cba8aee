// What the host itself keeps between runs (the volume, the traffic switch), one "name=value" a
// line in "halvane-host.ini" in the configuration folder; blanks around the name and the value
// are not part of them. Lines the host does not know (comments, other names) are kept as they
// stand when the file is written again.
#ifndef HALVANE_HOST_HOST_SETTINGS_H
#define HALVANE_HOST_HOST_SETTINGS_H

#include <optional>
#include <string>
#include <vector>

namespace host {

inline constexpr const char* kSettingsFile = "halvane-host.ini";
inline constexpr size_t kSettingsLimit = 64 * 1024;

class HostSettings {
 public:
  // Reads the file when there is one: a regular file (through links) of at most 64 KiB, read
  // without waiting. One that is there but can't be read so reads as no settings and is never
  // written over (Save says why).
  explicit HostSettings(std::string path);

  std::optional<std::string> Get(const std::string& name) const;
  // A number in `low`..`high`, or nothing when the setting is missing or no such number.
  std::optional<int> GetNumber(const std::string& name, int low, int high) const;
  void Set(const std::string& name, std::string value);
  // Writes the file through a new one of its own name renamed over it, in the folder of the
  // file a link names (the link stays); false with `reason` set when it can't be written.
  bool Save(std::string* reason = nullptr) const;

 private:
  // The line that sets `name`, the last one when several do.
  std::optional<size_t> Find(const std::string& name) const;

  std::string path_;
  std::vector<std::string> lines_;  // as read, without their line ends
  std::string lineEnd_ = "\n";      // the file's own
  std::string unreadable_;          // why a file that is there can't be read
};

}  // namespace host

#endif
