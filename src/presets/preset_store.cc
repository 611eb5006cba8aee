// The store itself: its table of presets, the active list file, and loading and saving it.
// Loading and saving skip any step that fails and never report: a missing or damaged list loads
// as far as it can be read, and a list that can't be written leaves the old file as it was.
#include <optional>
#include <utility>

#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "plugin/dm_radio.h"
#include "presets/line_scan.h"
#include "presets/list_file.h"
#include "presets/mod_presets.h"
#include "runtime/codepage.h"
#include "runtime/numbers.h"
#include "runtime/text_file.h"

namespace halvane {

void ModPresets::ResetPresets() {
  table.Reset();
  linesBeyondCap.clear();
  currentPreset = 0;
}

int16_t ModPresets::Count() const {
  if (table.empty()) Raise(kSubscriptRange);  // a store that does not exist yet
  return static_cast<int16_t>(table.size() - 1);
}

size_t ModPresets::Slot(int16_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= table.size()) Raise(kSubscriptRange);
  return static_cast<size_t>(i);
}

double ModPresets::FrequencyOf(int16_t i) const {
  if (i < 1 || i > Count()) Raise(kSubscriptRange);
  return table.Value(static_cast<size_t>(i));
}

int16_t ModPresets::PresetHolding(int32_t freq) const {
  const int16_t count = Count();
  const double wanted = freq;
  int16_t found = 0;
  for (int32_t i = 1; i <= count; ++i)
    if (table.Value(static_cast<size_t>(i)) == wanted) found = static_cast<int16_t>(i);
  return found;
}

std::string ModPresets::ListFilePath() const {
  DMRadio& plugin = PluginOf(c_);
  return plugin.CachePath() + (plugin.LocalMode() ? kLocalListFile : kMainListFile);
}

int16_t ModPresets::LoadPresets(const std::string& fileName) {
  int16_t startFreq = 0;
  IgnoreErrors([&] { ResetPresets(); });
  if (table.empty()) return 0;

  // The main list ignores the argument; the local list takes any file as an import.
  std::string path;
  IgnoreErrors([&] {
    DMRadio& plugin = PluginOf(c_);
    path = plugin.LocalMode() && !fileName.empty() ? fileName : ListFilePath();
  });
  unreadList.clear();
  if (path.empty() || !IsRegularFile(path)) return 0;

  // A list that is there but can't be read (no permission, too large) is not the empty list: it
  // stays as it is, and no save writes over it.
  std::optional<std::string> bytes;
  std::string why;
  IgnoreErrors([&] { bytes = ReadFileBytes(path, kListFileLimit, &why); });
  if (!bytes) {
    unreadList = path + ": " + (why.empty() ? "can't be read" : why);
    return 0;
  }
  const size_t first = bytes->size() - WithoutByteOrderMark(*bytes).size();
  const size_t size = bytes->size();
  if (first == size) return 0;  // no lines at all

  // The store takes the file's bytes as its text: a plain ASCII preset line already is a
  // preset's text, and only a line that is not is decoded and written again.
  table.Adopt(std::move(*bytes));

  // The first line is the header whatever it holds, even when it looks like a preset.
  const ScannedLine header = ScanLine(table.Block(), first);
  IgnoreErrors([&] {
    const std::string_view line = table.Block().substr(first, header.end - first);
    ListHeader read = ReadListHeader(DecodeFileText(line));
    if (read.value2) headerValue2 = *read.value2;
    if (read.value3) headerValue3 = *read.value3;
    startFreq = read.startFreq;
  });

  // Preset numbers are 16-bit: presets past the 32767th can't be numbered and are left out. A
  // line without a comma is no preset. Decoded lines are added past the file's bytes, which
  // is as far as lines are read.
  size_t at = header.next;
  while (at < size && table.size() <= static_cast<size_t>(kMaxPresets)) {
    const std::string_view file = table.Block().substr(0, size);
    const ScannedLine line = ScanLine(file, at);
    if (line.comma != std::string_view::npos) {
      IgnoreErrors([&] {
        if (line.ascii) {
          const size_t freqLength = line.comma - at;
          // A line of two fields ended by CR LF stands in the text as a save writes it.
          const bool endedByCrLf = line.nameEnd == line.end && line.next == line.end + 2;
          table.AppendInBlock(at, freqLength, line.nameEnd - line.comma - 1,
                              LeadingNumber(file.substr(at, freqLength)), endedByCrLf);
        } else {
          const std::string decoded = DecodeFileText(file.substr(at, line.end - at));
          if (auto preset = ReadPresetLine(decoded)) table.Append(preset->freq, preset->name);
        }
      });
    }
    at = line.next;
  }
  // What could not be numbered is kept as it stands, to be written back.
  if (at < size) IgnoreErrors([&] { linesBeyondCap.assign(table.Block().substr(at, size - at)); });
  IgnoreErrors([&] { table.FinishLoad(); });
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
  if (!unreadList.empty()) {
    NoteSave(path, "the list " + unreadList + " was not read, so it is not written over");
    return;
  }

  // The file is written in pieces, most of them straight from the store's text: a list can hold
  // 32767 presets.
  std::optional<ListFilePieces> file;
  IgnoreErrors([&] {
    file.emplace(c_.radio.currentFreq, headerValue2, headerValue3, table, linesBeyondCap);
  });
  if (!file) return;

  // The new list is complete on disk before it replaces the old one; a missing folder or an
  // unwritable file leaves everything as it was. Callers hear of nothing, the log does.
  std::string failure;
  try {
    WritePiecesAtomically(path, file->pieces());
  } catch (const FileWriteError& e) {
    failure = e.reason();
  } catch (const std::exception& e) {
    failure = e.what();
  }
  NoteSave(path, failure);
}

void ModPresets::NoteSave(const std::string& path, const std::string& failure) {
  if (failure.empty() && !lastSaveFailed_) return;
  lastSaveFailed_ = !failure.empty();
  IgnoreErrors([&] {
    c_.radio.RadioNotice(failure.empty() ? HALVANE_LOG_SAVED_AGAIN + path
                                         : HALVANE_LOG_SAVE_FAILED + path + ": " + failure);
  });
}

}  // namespace halvane
