#include "host_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

namespace host {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A setting's name and value, when the line sets one ("# a note" and "[group]" do not).
struct Setting {
  std::string_view name;
  std::string_view value;
};

std::optional<Setting> SettingOf(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view name = Trimmed(line.substr(0, equals));
  if (name.empty() || name.front() == '#' || name.front() == ';') return std::nullopt;
  return Setting{name, Trimmed(line.substr(equals + 1))};
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write to `path` lands in: links followed as opening the path would.
std::optional<std::string> WriteTarget(const std::string& path, std::string& reason) {
  std::string target = path;
  for (int links = 0; links <= 40; ++links) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    std::string link(4096, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<size_t>(n) == link.size()) {
      reason = n < 0 ? std::strerror(errno) : "a link that names no file";
      return std::nullopt;
    }
    link.resize(static_cast<size_t>(n));
    target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
  }
  reason = std::strerror(ELOOP);
  return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

HostSettings::HostSettings(std::string path) : path_(std::move(path)) {
  Descriptor fd(::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno != ENOENT) unreadable_ = std::strerror(errno);
    return;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    unreadable_ = "not a regular file";
    return;
  }
  if (static_cast<uint64_t>(st.st_size) > kSettingsLimit) {
    unreadable_ = "larger than " + std::to_string(kSettingsLimit) + " bytes";
    return;
  }
  std::string bytes(kSettingsLimit + 1, '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      unreadable_ = std::strerror(errno);
      return;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  if (got > kSettingsLimit) {  // it grew while being read
    unreadable_ = "larger than " + std::to_string(kSettingsLimit) + " bytes";
    return;
  }
  bytes.resize(got);
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
      lineEnd_ = "\r\n";
    }
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

std::optional<size_t> HostSettings::Find(const std::string& name) const {
  for (size_t i = lines_.size(); i-- > 0;) {
    if (const std::optional<Setting> setting = SettingOf(lines_[i]);
        setting && setting->name == name)
      return i;
  }
  return std::nullopt;
}

std::optional<std::string> HostSettings::Get(const std::string& name) const {
  const std::optional<size_t> line = Find(name);
  if (!line) return std::nullopt;
  return std::string(SettingOf(lines_[*line])->value);
}

std::optional<int> HostSettings::GetNumber(const std::string& name, int low, int high) const {
  const std::optional<std::string> text = Get(name);
  if (!text) return std::nullopt;
  int value = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (text->empty() || ec != std::errc() || end != text->data() + text->size() || value < low ||
      value > high)
    return std::nullopt;
  return value;
}

void HostSettings::Set(const std::string& name, std::string value) {
  // One line per setting: a line break would make two.
  for (char& c : value)
    if (c == '\n' || c == '\r') c = ' ';
  std::string line = name + "=" + value;
  if (const std::optional<size_t> at = Find(name)) {
    lines_[*at] = std::move(line);
  } else {
    lines_.push_back(std::move(line));
  }
}

bool HostSettings::Save(std::string* reason) const {
  std::string why;
  const auto fail = [&](std::string text) {
    if (reason != nullptr) *reason = std::move(text);
    return false;
  };
  if (!unreadable_.empty()) return fail(path_ + " can't be read (" + unreadable_ + ")");
  const std::optional<std::string> target = WriteTarget(path_, why);
  if (!target) return fail(path_ + ": " + why);
  struct stat existing {};
  const bool exists = ::lstat(target->c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return fail(*target + ": not a regular file");
  // A name of its own for each write (mkstemp creates it, never through a link), so no file
  // put in the folder beforehand can take the settings.
  std::string temporary = *target + ".XXXXXX";
  Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.get() < 0) return fail(*target + ": " + std::strerror(errno));
  std::string bytes;
  for (const std::string& line : lines_) bytes += line + lineEnd_;
  // A file replaced keeps its permissions; a new one is the user's alone, as mkstemp made it.
  if ((exists && ::fchmod(fd.get(), existing.st_mode & 07777) != 0) || !WriteAll(fd.get(), bytes) ||
      ::fsync(fd.get()) != 0 || ::close(fd.Release()) != 0 ||
      ::rename(temporary.c_str(), target->c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return fail(*target + ": " + std::strerror(error));
  }
  return true;
}

}  // namespace host
