// Loading the programme-type names and answering them by code.
#include <string_view>

#include "halvane/errors.h"
#include "pty/mod_rds_pty_strings.h"
#include "pty/pty_tables.h"
#include "runtime/text_file.h"

namespace halvane {
namespace {

constexpr int16_t kHighestCode = 31;

// Only blanks are trimmed: a tab belongs to the key or value it stands next to.
std::string_view TrimSpaces(std::string_view s) {
  size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerKey) {
  if (text.size() != lowerKey.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerKey[i]) return false;
  }
  return true;
}

const PtyDefault* FindKey(std::span<const PtyDefault> set, std::string_view key) {
  for (const auto& row : set)
    if (EqualsIgnoringCase(key, row.key)) return &row;
  return nullptr;
}

}  // namespace

void ModRdsPtyStrings::LoadPtyNames(bool useRbds, const std::string& configPath) {
  const std::span<const PtyDefault> set = useRbds ? RbdsPtyDefaults() : RdsPtyDefaults();
  for (const auto& row : set) ptyNames_[row.code] = row.name;

  const std::string path = configPath + std::string(useRbds ? kRbdsNamesFile : kRdsNamesFile);
  if (!IsRegularFile(path)) return;
  std::string why;
  auto lines = ReadTextLines(path, kNamesFileLimit, &why);
  if (!lines) Raise(kPathFileAccess, path + ": " + why);

  for (const std::string& text : *lines) {
    std::string_view line = text;
    // "#" counts only in the very first column; after a blank it is part of an unknown key.
    if (line.empty() || line.front() == '#') continue;
    const size_t equals = line.find('=');
    const PtyDefault* row = FindKey(set, TrimSpaces(line.substr(0, equals)));
    if (row == nullptr) continue;  // the other standard's keys, blank lines, anything unknown
    if (equals == std::string_view::npos) Raise(kSubscriptRange, "no value for " + text);
    std::string_view value = line.substr(equals + 1);
    value = value.substr(0, value.find('='));  // text after a second "=" is dropped
    ptyNames_[row->code] = TrimSpaces(value);
  }
}

std::string ModRdsPtyStrings::PtyName(int16_t code) const {
  if (code < 0) Raise(kSubscriptRange, "programme type " + std::to_string(code));
  if (code == 0 || code > kHighestCode) return {};
  return ptyNames_[static_cast<size_t>(code)];
}

}  // namespace halvane
