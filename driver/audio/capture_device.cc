#include "audio/capture_device.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace halvane::driver::audio {
namespace {

namespace fs = std::filesystem;

// The real place of a sysfs link, empty when there is none.
fs::path Resolve(const fs::path& link) {
  std::error_code error;
  fs::path real = fs::canonical(link, error);
  return error ? fs::path() : real;
}

bool IsWithin(const fs::path& path, const fs::path& folder) {
  const fs::path relative = path.lexically_relative(folder);
  return !relative.empty() && *relative.begin() != "..";
}

// The number after `prefix` in a name such as "card1" or "pcmC1D0c"; -1 when there is none.
int NumberAfter(const std::string& name, const std::string& prefix) {
  if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size()) return -1;
  int value = 0;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || value > 9999) return -1;
    value = value * 10 + (name[i] - '0');
  }
  return value;
}

// The lowest-numbered capture device of a card ("pcmC1D0c" is card 1's device 0, capture).
int FirstCaptureDevice(const fs::path& cardFolder, int card) {
  const std::string prefix = "pcmC" + std::to_string(card) + "D";
  int first = -1;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(cardFolder, error)) {
    std::string name = entry.path().filename().string();
    if (name.empty() || name.back() != 'c') continue;
    name.pop_back();
    const int device = NumberAfter(name, prefix);
    if (device >= 0 && (first < 0 || device < first)) first = device;
  }
  return first;
}

}  // namespace

std::optional<std::string> FindCaptureDevice(const std::string& radioPath,
                                             const std::string& sysfs) {
  // /dev/radio0 may itself be a link (udev's by-path names): the node's own name counts.
  fs::path node = Resolve(radioPath);
  if (node.empty()) node = radioPath;
  const fs::path radio =
      Resolve(fs::path(sysfs) / "class/video4linux" / node.filename() / "device");
  if (radio.empty()) return std::nullopt;
  // The radio's own device holds the sound card on a PCI card; on USB the radio and the sound
  // card are two interfaces of one USB device, which is the radio interface's parent.
  std::vector<fs::path> owners{radio};
  if (fs::exists(radio.parent_path() / "idVendor")) owners.push_back(radio.parent_path());

  std::error_code error;
  for (const fs::path& owner : owners) {
    std::optional<std::pair<int, int>> best;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(sysfs) / "class/sound", error)) {
      const int card = NumberAfter(entry.path().filename().string(), "card");
      if (card < 0) continue;
      const fs::path device = Resolve(entry.path() / "device");
      if (device.empty() || (device != owner && !IsWithin(device, owner))) continue;
      const int capture = FirstCaptureDevice(entry.path(), card);
      if (capture >= 0 && (!best || card < best->first)) best = {{card, capture}};
    }
    if (best) return "hw:" + std::to_string(best->first) + "," + std::to_string(best->second);
  }
  return std::nullopt;
}

}  // namespace halvane::driver::audio
