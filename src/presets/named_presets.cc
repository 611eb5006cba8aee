// Named presets: one frequency per file, "<ConfigPath>FMPresets/<name>.fm", holding one line of
// decimal digits. The name becomes part of a path, so it must stay a single plain file name.
#include <string_view>

#include "context/module_context.h"
#include "halvane/errors.h"
#include "presets/mod_presets.h"
#include "runtime/numbers.h"
#include "runtime/text_file.h"
#include "tuner/mod_radio.h"

namespace halvane {
namespace {

// A name that could reach outside the folder, or that no file can carry: separators of either
// platform, the folder names "." and "..", nothing at all, and control characters (C0, DEL, and
// C1 as UTF-8, which includes NUL).
bool IsUsableName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
    if (c == 0xC2 && i + 1 < name.size()) {
      auto next = static_cast<unsigned char>(name[i + 1]);
      if (next >= 0x80 && next <= 0x9F) return false;
    }
  }
  return true;
}

std::string NamedPresetFolder(PluginSettings& plugin) {
  return plugin.ConfigPath() + kNamedPresetFolder;
}

std::string NamedPresetPath(PluginSettings& plugin, const std::string& name) {
  if (!IsUsableName(name)) Raise(kBadFileName, name);
  return NamedPresetFolder(plugin) + "/" + name + kNamedPresetExtension;
}

}  // namespace

void ModPresets::SaveNamedPreset(const std::string& name) {
  PluginSettings& plugin = c_.Settings();
  const std::string path = NamedPresetPath(plugin, name);
  const std::string folder = NamedPresetFolder(plugin);
  if (!IsDirectory(folder)) MakeDirectory(folder);
  WriteTextLinesAtomically(path, {std::to_string(radio_.currentFreq())});
}

std::optional<int32_t> ModPresets::LoadNamedPreset(const std::string& name) {
  PluginSettings& plugin = c_.Settings();
  const std::string path = NamedPresetPath(plugin, name);
  if (!IsRegularFile(path)) return std::nullopt;
  std::string why;
  auto lines = ReadTextLines(path, kNamedPresetLimit, &why);
  if (!lines) Raise(kPathFileAccess, path + ": " + why);
  if (lines->empty()) Raise(kInputPastEnd, path);
  return ToInt32(LeadingNumber(lines->front()));
}

}  // namespace halvane
