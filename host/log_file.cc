#include "log_file.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <fstream>

namespace host {

std::string LogTimestamp(std::time_t seconds, int milliseconds) {
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                milliseconds);
  return text;
}

bool AppendLogLine(const std::string& path, const std::string& line, uint64_t limit) {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  const std::string entry =
      LogTimestamp(static_cast<std::time_t>(ms / 1000), static_cast<int>(ms % 1000)) + line + "\n";
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && static_cast<uint64_t>(st.st_size) + entry.size() > limit)
    std::rename(path.c_str(), (path + ".1").c_str());  // a failed rotation still logs the line
  std::ofstream out(path, std::ios::app | std::ios::binary);
  out << entry;
  return static_cast<bool>(out.flush());
}

}  // namespace host
