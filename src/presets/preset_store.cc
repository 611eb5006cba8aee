// The store itself: its table of presets, the active list file, and loading and saving it.
// Loading and saving skip any step that fails and never report: a missing or damaged list loads
// as far as it can be read, and a list that can't be written leaves the old file as it was.
#include <optional>
#include <utility>

#include "context/module_context.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "presets/list_file.h"
#include "presets/mod_presets.h"
#include "runtime/numbers.h"
#include "runtime/text_file.h"
#include "tuner/mod_radio.h"

namespace halvane {
namespace {

// Whether `text` begins with a number, as a header or a preset's frequency does.
bool StartsWithNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i < text.size() && text[i] == '.') ++i;
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// A list file has a header or a preset, or holds nothing but blank lines; any other file (a
// document, a copy of a system file) was named by mistake and is not a list to write over.
bool ReadsAsList(std::string_view header, const PresetTable& table,
                 const std::vector<PresetTable::KeptLines>& kept) {
  if (StartsWithNumber(header)) return true;
  for (size_t i = 1; i < table.size(); ++i)
    if (StartsWithNumber(table.Freq(i))) return true;
  if (!IsBlank(header) || table.size() > 1) return false;
  for (const PresetTable::KeptLines& lines : kept)
    if (!IsBlank(lines.text)) return false;
  return true;
}

}  // namespace

void ModPresets::ResetPresets() {
  table_.Reset();
  linesBeyondCap_.clear();
  keptLines_.clear();
  notAList_.clear();
  currentPreset_ = 0;
  // A new store belongs to the list the settings choose now.
  storeList_.clear();
  IgnoreErrors([&] { storeList_ = ListFilePath(); });
}

int16_t ModPresets::Count() const {
  if (table_.empty()) Raise(kSubscriptRange);  // a store that does not exist yet
  return static_cast<int16_t>(table_.size() - 1);
}

size_t ModPresets::Slot(int16_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= table_.size()) Raise(kSubscriptRange);
  return static_cast<size_t>(i);
}

double ModPresets::FrequencyOf(int16_t i) const {
  if (i < 1 || i > Count()) Raise(kSubscriptRange);
  return table_.Value(static_cast<size_t>(i));
}

int16_t ModPresets::PresetHolding(int32_t freq) const {
  const int16_t count = Count();
  const double wanted = freq;
  int16_t found = 0;
  for (int32_t i = 1; i <= count; ++i)
    if (table_.Value(static_cast<size_t>(i)) == wanted) found = static_cast<int16_t>(i);
  return found;
}

std::string ModPresets::ListFilePath() const {
  PluginSettings& plugin = c_.Settings();
  return plugin.CachePath() + (plugin.LocalMode() ? kLocalListFile : kMainListFile);
}

int16_t ModPresets::LoadPresets(const std::string& fileName) {
  int16_t startFreq = 0;
  IgnoreErrors([&] { ResetPresets(); });
  if (table_.empty()) return 0;

  // The main list ignores the argument; the local list takes any file as an import.
  std::string path;
  IgnoreErrors(
      [&] { path = c_.Settings().LocalMode() && !fileName.empty() ? fileName : ListFilePath(); });
  unreadList_.clear();
  if (path.empty() || !IsRegularFile(path)) return 0;

  // A list that is there but can't be read (no permission, too large) is not the empty list: it
  // stays as it is, and no save writes over it.
  std::optional<std::string> bytes;
  std::string why;
  IgnoreErrors([&] { bytes = ReadFileBytes(path, kListFileLimit, &why); });
  if (!bytes) {
    unreadList_ = path + ": " + (why.empty() ? "can't be read" : why);
    return 0;
  }
  // Preset numbers are 16-bit: presets past the 32767th can't be numbered and are kept aside as
  // they stand, to be written back.
  PresetTable::FileRest rest = table_.Load(std::move(*bytes), kMaxPresets);
  IgnoreErrors([&] {
    ListHeader read = ReadListHeader(rest.header);
    if (read.value2) headerValue2_ = *read.value2;
    if (read.value3) headerValue3_ = *read.value3;
    startFreq = read.startFreq;
  });
  linesBeyondCap_ = std::move(rest.beyond);
  keptLines_ = std::move(rest.kept);
  // An import is the user's own choice of file; it is never the file saved to.
  if (path == storeList_ && !ReadsAsList(rest.header, table_, keptLines_))
    notAList_ = path + " has neither a list header nor a preset";
  return startFreq;
}

void ModPresets::SavePresets() {
  // The list the store was loaded for, even when LocalMode or CachePath was set since without a
  // switch of lists: the presets of one list are never written over another list.
  std::string path = storeList_;
  if (path.empty()) IgnoreErrors([&] { path = ListFilePath(); });
  if (path.empty()) return;

  // A store that was never loaded says nothing about the file's presets: it is not written over.
  std::optional<int16_t> count;
  IgnoreErrors([&] { count = Count(); });
  if (!count) return;
  if (!unreadList_.empty()) {
    NoteSave(path, "the list " + unreadList_ + " was not read, so it is not written over");
    return;
  }
  if (!notAList_.empty()) {
    NoteSave(path, notAList_ + ", so only an edit of the presets writes over it");
    return;
  }

  // The file is written in pieces, most of them straight from the store's text: a list can hold
  // 32767 presets.
  std::optional<PresetTable::File> file;
  IgnoreErrors([&] {
    file.emplace(table_, ListHeaderLine(radio_.currentFreq(), headerValue2_, headerValue3_),
                 linesBeyondCap_, keptLines_);
  });
  if (!file) {
    NoteSave(path, "no memory to put the list together");
    return;
  }

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
    radio_.RadioNotice(failure.empty() ? HALVANE_LOG_SAVED_AGAIN + path
                                       : HALVANE_LOG_SAVE_FAILED + path + ": " + failure);
  });
}

}  // namespace halvane
