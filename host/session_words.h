// Words and small text helpers the radio session's files share.
#ifndef HALVANE_HOST_SESSION_WORDS_H
#define HALVANE_HOST_SESSION_WORDS_H

#include <cstdint>
#include <string>

namespace host::session {

inline constexpr const char* kChooseFirst = "Choose a preset in the list first";
inline constexpr const char* kEmptyList = "The preset list is empty: add the station first";
inline constexpr const char* kTrafficSetting = "traffic";  // "on": announcements lift a mute
inline constexpr const char* kTrafficVolumeSetting = "traffic_volume";  // percent
inline constexpr int32_t kTrafficVolume = 50;                           // without a setting
// The last frequency of each band, for the FM/AM switch.
inline constexpr const char* kLastFmSetting = "last_fm";
inline constexpr const char* kLastAmSetting = "last_am";

inline std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The field `index` (0 the command word) of a command string split at ";".
inline std::string Field(const std::string& command, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    start = command.find(';', start);
    if (start == std::string::npos) return {};
    ++start;
  }
  return command.substr(start, command.find(';', start) - start);
}

inline std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace host::session

#endif
