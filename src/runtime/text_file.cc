#include "runtime/text_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>

#include "halvane/errors.h"
#include "runtime/codepage.h"

namespace halvane {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

[[noreturn]] void RaiseForErrno(int err, const std::string& path) {
  throw FileWriteError(err == ENOENT || err == ENOTDIR ? kPathNotFound : kPathFileAccess, path,
                       std::strerror(err));
}

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

constexpr std::string_view kTemporaryMark = ".tmp-";

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string TemporaryName(const std::string& path) {
  // Unique per write, so that two writers never share one: "<prefix><pid>-<n>".
  static std::mt19937_64 rng{std::random_device{}()};
  return TemporaryNamePrefix(BaseName(path)) + std::to_string(::getpid()) + "-" +
         std::to_string(rng() % 1000000007);
}

// A write killed before its rename (a crash, a power cut) leaves its temporary file behind. Each
// write first removes the temporaries of the same file whose writer is gone, so that a radio whose
// power is cut again and again does not fill its storage. A temporary of a writer that still runs
// is left to it.
void RemoveAbandonedTemporaries(const std::string& folder, const std::string& path) {
  const std::string prefix = TemporaryNamePrefix(BaseName(path));
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.substr(0, prefix.size()) != prefix) continue;
    const std::string_view rest = name.substr(prefix.size());
    pid_t writer = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), writer);
    if (error != std::errc() || end == rest.data() || *end != '-' || writer <= 0) continue;
    if (writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

// The file a write to `path` lands in: symbolic links followed as opening the path would, a
// relative link read from the link's own folder. The result names no link.
std::string WriteTarget(const std::string& path) {
  constexpr int kMostLinks = 40;  // the system's own limit on links in one lookup
  std::string target = path;
  for (int links = 0;; ++links) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    if (links == kMostLinks) RaiseForErrno(ELOOP, path);
    std::string link(4096, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0 || static_cast<size_t>(n) == link.size())
      RaiseForErrno(n < 0 ? errno : ENAMETOOLONG, path);
    link.resize(static_cast<size_t>(n));
    target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
  }
}

std::optional<std::string> Refuse(std::string* reason, std::string why) {
  if (reason != nullptr) *reason = std::move(why);
  return std::nullopt;
}

std::string TooLarge(size_t limit) { return "larger than " + std::to_string(limit) + " bytes"; }

// Writes the pieces one after another, as many to a call as the system takes; false with errno
// set when a write fails.
bool WriteAll(int fd, std::span<const std::string_view> pieces) {
  size_t piece = 0, done = 0;  // the next byte to write: pieces[piece][done]
  while (piece < pieces.size()) {
    std::array<iovec, 1024> batch;
    size_t n = 0;
    for (size_t p = piece, from = done; p < pieces.size() && n < batch.size(); ++p, from = 0)
      if (pieces[p].size() > from)
        batch[n++] = iovec{const_cast<char*>(pieces[p].data()) + from, pieces[p].size() - from};
    if (n == 0) return true;
    const ssize_t written = ::writev(fd, batch.data(), static_cast<int>(n));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;  // nothing taken: no progress can be made
      return false;
    }
    auto left = static_cast<size_t>(written);
    while (piece < pieces.size() && left >= pieces[piece].size() - done) {
      left -= pieces[piece].size() - done;
      ++piece;
      done = 0;
    }
    done += left;
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit,
                                         std::string* reason) {
  // Opening never waits for a writer of a pipe; nothing but a regular file is read at all.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) return Refuse(reason, std::strerror(errno));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return Refuse(reason, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return Refuse(reason, "not a regular file");
  if (static_cast<uintmax_t>(st.st_size) > limit) return Refuse(reason, TooLarge(limit));
  // The file is read straight into a buffer of its size; whatever follows (a file that grew
  // meanwhile) comes in pieces, up to the limit.
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  char buf[65536];
  for (;;) {
    const bool inPlace = done < bytes.size();
    ssize_t n = inPlace ? ::read(fd.get(), bytes.data() + done, bytes.size() - done)
                        : ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Refuse(reason, std::strerror(errno));
    }
    if (n == 0) break;
    if (!inPlace) {
      if (done + static_cast<size_t>(n) > limit) return Refuse(reason, TooLarge(limit));
      bytes.append(buf, static_cast<size_t>(n));
    }
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);  // a file that shrank meanwhile
  return bytes;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0, i = 0, n = bytes.size();
  while (i < n) {
    char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(bytes.substr(start, i - start));
      i += (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) lines.push_back(bytes.substr(start));
  return lines;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path, size_t limit,
                                                      std::string* reason) {
  auto bytes = ReadFileBytes(path, limit, reason);
  if (!bytes) return std::nullopt;
  std::string_view text = WithoutByteOrderMark(*bytes);
  std::vector<std::string> lines;
  auto views = SplitLines(text);
  lines.reserve(views.size());
  for (auto v : views) lines.push_back(DecodeFileText(v));
  return lines;
}

void WriteBytesAtomically(const std::string& path, std::string_view bytes) {
  WritePiecesAtomically(path, std::span(&bytes, 1));
}

void WritePiecesAtomically(const std::string& path, std::span<const std::string_view> pieces) {
  const std::string target = WriteTarget(path);
  const std::string folder = FolderOf(target);
  struct stat folderStat {};
  if (::stat(folder.c_str(), &folderStat) != 0) RaiseForErrno(errno, folder);
  if (!S_ISDIR(folderStat.st_mode)) RaiseForErrno(ENOTDIR, folder);
  // A file already there is replaced only where truncating it would have written: a regular
  // file this process may open for writing (asked of the system itself, which knows the
  // process's rights and the file's access lists).
  struct stat existing {};
  const bool exists = ::lstat(target.c_str(), &existing) == 0;
  if (exists) {
    if (!S_ISREG(existing.st_mode))
      throw FileWriteError(kPathFileAccess, path, "not a regular file");
    FileDescriptor probe(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (probe.get() < 0) RaiseForErrno(errno, path);
  }
  RemoveAbandonedTemporaries(folder, target);
  const std::string temp = folder + "/" + TemporaryName(target);
  // A new file gets the mode creating it would give (the umask applies); a replaced one keeps
  // its own, and is private until then.
  FileDescriptor fd(
      ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666));
  if (fd.get() < 0) RaiseForErrno(errno, path);
  auto fail = [&](int err) {
    ::unlink(temp.c_str());
    RaiseForErrno(err, path);
  };
  if (exists) {
    // Only a privileged writer can give the file back to its owner; anyone else owns what they
    // replace, as with any editor's save.
    if ((existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) &&
        ::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0) {
      // not privileged: the file becomes this process's
    }
    if (::fchmod(fd.get(), existing.st_mode & 07777) != 0) fail(errno);
  }
  if (!WriteAll(fd.get(), pieces)) fail(errno);
  if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0) fail(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) fail(errno);
  // The rename itself reaches the disk with the folder's entry.
  FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

std::string TemporaryNamePrefix(std::string_view fileName) {
  // "." (out of sight), the name's 32-bit FNV-1a hash in hex, the mark: 14 bytes whatever the
  // name, and still each file's own.
  uint32_t hash = 2166136261u;
  for (char c : fileName) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", hash);
  std::string prefix(1, '.');
  prefix += hex;
  prefix += kTemporaryMark;
  return prefix;
}

void WriteTextLinesAtomically(const std::string& path, const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const auto& l : lines) size += l.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const auto& l : lines) {
    bytes += l;
    bytes += "\r\n";
  }
  WriteBytesAtomically(path, bytes);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void MakeDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) RaiseForErrno(errno, path);
  if (!IsDirectory(path)) Raise(kPathFileAccess, path);
}

}  // namespace halvane
