// The store itself: its three parallel arrays, the active list file, and loading and saving it.
// Loading and saving skip any step that fails and never report: a missing or damaged list loads
// as far as it can be read, and a list that can't be written leaves the old file as it was.
#include <algorithm>
#include <optional>
#include <span>
#include <utility>

#include "halvane/errors.h"
#include "plugin/dm_radio.h"
#include "presets/list_file.h"
#include "presets/mod_presets.h"
#include "runtime/codepage.h"
#include "runtime/numbers.h"
#include "runtime/text_file.h"

namespace halvane {
namespace {

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

void ModPresets::ResetPresets() {
  presetFreqs.assign(1, "");
  presetNames.assign(1, "");
  presetValues.assign(1, 0.0);
  currentPreset = 0;
}

int16_t ModPresets::Count() const {
  // Both arrays share one upper bound; anything else is a store that does not exist.
  if (presetFreqs.empty() || presetNames.size() != presetFreqs.size()) Raise(kSubscriptRange);
  return static_cast<int16_t>(presetFreqs.size() - 1);
}

double ModPresets::FrequencyOf(int16_t i) const {
  if (i < 1 || i > Count()) Raise(kSubscriptRange);
  return ValuesInStep() ? presetValues[i] : LeadingNumber(presetFreqs[i]);
}

int16_t ModPresets::PresetHolding(int32_t freq) const {
  const int16_t count = Count();
  const double wanted = freq;
  int16_t found = 0;
  if (ValuesInStep()) {
    for (int32_t i = 1; i <= count; ++i)
      if (presetValues[i] == wanted) found = static_cast<int16_t>(i);
  } else {
    for (int32_t i = 1; i <= count; ++i)
      if (LeadingNumber(presetFreqs[i]) == wanted) found = static_cast<int16_t>(i);
  }
  return found;
}

std::string ModPresets::ListFilePath() const {
  DMRadio& plugin = PluginOf(c_);
  return plugin.CachePath() + (plugin.LocalMode() ? kLocalListFile : kMainListFile);
}

void ModPresets::SyncValues() {
  if (ValuesInStep()) return;
  presetValues.clear();
  presetValues.reserve(presetFreqs.size());
  for (const auto& f : presetFreqs) presetValues.push_back(LeadingNumber(f));
}

void ModPresets::AppendPreset(std::string freq, std::string name) {
  if (Count() >= kMaxPresets) Raise(kOverflow);
  SyncValues();
  presetValues.push_back(LeadingNumber(freq));
  presetFreqs.push_back(std::move(freq));
  presetNames.push_back(std::move(name));
}

void ModPresets::ErasePreset(int16_t i) {
  if (i < 1 || i > Count()) Raise(kSubscriptRange);
  SyncValues();
  presetFreqs.erase(presetFreqs.begin() + i);
  presetNames.erase(presetNames.begin() + i);
  presetValues.erase(presetValues.begin() + i);
}

void ModPresets::SwapPresets(int16_t a, int16_t b) {
  const int16_t count = Count();
  if (a < 1 || b < 1 || a > count || b > count) Raise(kSubscriptRange);
  SyncValues();
  std::swap(presetFreqs[a], presetFreqs[b]);
  std::swap(presetNames[a], presetNames[b]);
  std::swap(presetValues[a], presetValues[b]);
}

int16_t ModPresets::LoadPresets(const std::string& fileName) {
  int16_t startFreq = 0;
  IgnoreErrors([&] { ResetPresets(); });

  // The main list ignores the argument; the local list takes any file as an import.
  std::string path;
  IgnoreErrors([&] {
    DMRadio& plugin = PluginOf(c_);
    path = plugin.LocalMode() && !fileName.empty() ? fileName : ListFilePath();
  });
  if (path.empty() || !IsRegularFile(path)) return 0;

  // The file is read in one piece and split into views: a line becomes strings only as the
  // preset's two fields, and is decoded only when it is not plain ASCII.
  std::optional<std::string> bytes;
  IgnoreErrors([&] { bytes = ReadFileBytes(path); });
  if (!bytes) return 0;
  const std::string_view text = WithoutByteOrderMark(*bytes);
  std::vector<std::string_view> lines;
  IgnoreErrors([&] { lines = SplitLines(text); });
  if (lines.empty()) return 0;

  // The first line is the header whatever it holds, even when it looks like a preset.
  IgnoreErrors([&] {
    ListHeader header = ReadListHeader(DecodeFileText(lines.front()));
    if (header.value2) headerValue2 = *header.value2;
    if (header.value3) headerValue3 = *header.value3;
    startFreq = header.startFreq;
  });

  // Preset numbers are 16-bit: presets past the 32767th can't be numbered and are left out.
  const size_t wanted = std::min(lines.size() - 1, static_cast<size_t>(kMaxPresets));
  IgnoreErrors([&] {
    presetFreqs.reserve(wanted + 1);
    presetNames.reserve(wanted + 1);
    presetValues.reserve(wanted + 1);
  });
  std::string decoded;
  for (size_t l = 1; l < lines.size() && presetFreqs.size() <= wanted; ++l) {
    IgnoreErrors([&] {
      std::string_view line = lines[l];
      if (!IsAscii(line)) line = decoded = DecodeFileText(line);
      if (auto preset = ReadPresetLine(line)) {
        // The store was just reset, so its three arrays are in step and below the limit.
        presetValues.push_back(LeadingNumber(preset->freq));
        presetFreqs.emplace_back(preset->freq);
        presetNames.emplace_back(preset->name);
      }
    });
  }
  return startFreq;
}

void ModPresets::SavePresets() {
  std::string path;
  IgnoreErrors([&] { path = ListFilePath(); });
  if (path.empty()) return;

  // A store that was never loaded says nothing about the file's presets: it is not written over.
  std::optional<int16_t> count;
  IgnoreErrors([&] { count = Count(); });
  if (!count) return;

  // The file's text is made in one piece, without a string per line: a list can hold 32767.
  std::optional<std::string> bytes;
  IgnoreErrors([&] {
    const auto presets = static_cast<size_t>(*count);
    bytes = ListFileBytes(c_.radio.currentFreq, headerValue2, headerValue3,
                          std::span(presetFreqs).subspan(1, presets),
                          std::span(presetNames).subspan(1, presets));
  });
  if (!bytes) return;

  // The new list is complete on disk before it replaces the old one; a missing folder or an
  // unwritable file leaves everything as it was.
  IgnoreErrors([&] { WriteBytesAtomically(path, *bytes); });
}

}  // namespace halvane
