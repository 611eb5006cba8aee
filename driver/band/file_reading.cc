#include "band/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace halvane::driver::band {
namespace {

std::optional<std::string> Refuse(std::string& reason, std::string why) {
  reason = std::move(why);
  return std::nullopt;
}

std::string TooLarge(size_t limit) { return "larger than " + std::to_string(limit) + " bytes"; }

struct ClosedAtEnd {
  int fd;
  ~ClosedAtEnd() { ::close(fd); }
};

}  // namespace

std::optional<std::string> ReadNamedFile(const std::string& path, size_t limit,
                                         std::string& reason) {
  // O_NONBLOCK: opening a pipe with no writer, or a device, must not hang radioInitialize.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Refuse(reason, std::strerror(errno));
  const ClosedAtEnd closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) return Refuse(reason, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return Refuse(reason, "not a regular file");
  if (static_cast<uintmax_t>(info.st_size) > limit) return Refuse(reason, TooLarge(limit));
  std::string text;
  text.reserve(static_cast<size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Refuse(reason, std::strerror(errno));
    if (n == 0) {
      // Text editors may begin a UTF-8 file with a byte-order mark; it is no part of the text.
      if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
      return text;
    }
    // A file that grew past the limit since it was measured is refused all the same.
    if (text.size() + static_cast<size_t>(n) > limit) return Refuse(reason, TooLarge(limit));
    text.append(buffer, static_cast<size_t>(n));
  }
}

}  // namespace halvane::driver::band
