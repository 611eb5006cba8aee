// The host's log file: each DMLOG line with the local time it was written, and the file kept
// below a size by one rotation ("halvane.log" becomes "halvane.log.1", replacing the older one).
#ifndef HALVANE_HOST_LOG_FILE_H
#define HALVANE_HOST_LOG_FILE_H

#include <cstdint>
#include <ctime>
#include <string>

namespace host {

inline constexpr uint64_t kLogFileLimit = 1 << 20;  // bytes

// "2026-12-07 13:02:10.250 " for a moment given as seconds and milliseconds since the epoch.
std::string LogTimestamp(std::time_t seconds, int milliseconds);

// Appends "TIMESTAMP line" to `path`, first moving a file that would grow past `limit` bytes to
// `path` + ".1". Returns false when the line could not be written.
bool AppendLogLine(const std::string& path, const std::string& line,
                   uint64_t limit = kLogFileLimit);

}  // namespace host

#endif
