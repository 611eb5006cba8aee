#include "preset_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <stdexcept>

namespace bench {
namespace {

// FM channels on odd tenths from 87.7 to 107.7 MHz; 87.5 MHz is left out so that no preset holds
// the tuned frequency.
std::string FrequencyText(int i) { return std::to_string(8770 + 20 * (i % 101)); }
std::string Name(int i) { return "Preset " + std::to_string(i); }

constexpr std::array<const char*, 31> kRdsKeys{
    "news",           "current_affairs",  "information", "sport",   "education",   "drama",
    "culture",        "science",          "varied",      "pop",     "rock",        "mor",
    "light_classics", "serious_classics", "other",       "weather", "finance",     "childrens",
    "social_affairs", "religion",         "phone_in",    "travel",  "leisure",     "jazz",
    "country",        "national",         "oldies",      "folk",    "documentary", "alarm_test",
    "alarm"};

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + " " + path);
}

}  // namespace

std::string PresetListBytes(int count) {
  std::string bytes = "8750|0|0\r\n";
  for (int i = 1; i <= count; ++i) bytes += FrequencyText(i) + "," + Name(i) + "\r\n";
  return bytes;
}

std::string PresetListBytes1252(int count) {
  std::string bytes = "8750|0|0\r\n";
  for (int i = 1; i <= count; ++i) bytes += FrequencyText(i) + "," + Name(i) + " caf\xe9\r\n";
  return bytes;
}

size_t PresetTextBytes(int count) {
  size_t total = 0;
  for (int i = 1; i <= count; ++i) total += FrequencyText(i).size() + Name(i).size();
  return total;
}

std::string RdsNamesBytes() {
  std::string bytes = "# Programme-type names\r\n";
  for (size_t i = 0; i < kRdsKeys.size(); ++i)
    bytes += std::string(kRdsKeys[i]) + " = Programme type " + std::to_string(i + 1) + "\r\n";
  return bytes;
}

void WriteFileOrThrow(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail("can't create", path);
  ssize_t n = ::write(fd, bytes.data(), bytes.size());
  ::close(fd);
  if (n != static_cast<ssize_t>(bytes.size())) Fail("can't write", path);
}

std::string ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("can't open", path);
  struct stat st {};
  ::fstat(fd, &st);
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes.resize(done);
  return bytes;
}

std::vector<std::string_view> SplitLinesPlain(std::string_view bytes) {
  std::vector<std::string_view> lines;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  const char* start = p;
  while (p < end) {
    const char c = *p;
    if (c != '\r' && c != '\n') {
      ++p;
      continue;
    }
    lines.emplace_back(start, static_cast<size_t>(p - start));
    p += (c == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    start = p;
  }
  if (start < end) lines.emplace_back(start, static_cast<size_t>(end - start));
  return lines;
}

void ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".new";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail("can't create", temp);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) Fail("can't write", temp);
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) Fail("can't flush", temp);
  ::close(fd);
  if (::rename(temp.c_str(), path.c_str()) != 0) Fail("can't rename", temp);
}

void ReplaceFileDurably(const std::string& path, std::string_view bytes) {
  ReplaceFile(path, bytes);
  const std::string folder = path.substr(0, path.rfind('/'));
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) Fail("can't open", folder);
  const int flushed = ::fsync(fd);
  ::close(fd);
  if (flushed != 0) Fail("can't flush", folder);
}

}  // namespace bench
