#include "data_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "folders.h"

namespace host {
namespace {

flock WholeFile(short type) {
  flock lock{};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;  // start 0, length 0: the whole file, however long
  return lock;
}

}  // namespace

std::unique_ptr<DataLock> DataLock::Acquire(const std::string& folder, std::string& error) {
  const std::string path = folder + kDataLockFile;
  const int fd =
      ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0644);
  if (fd < 0 && (errno == EROFS || errno == EACCES) && ::access(folder.c_str(), W_OK) != 0) {
    // A folder nobody may write (a read-only home): no radio can save there, so there is nothing
    // to guard; the radio plays and the host says that nothing will be saved.
    return std::unique_ptr<DataLock>(new DataLock(-1));
  }
  if (fd < 0) {
    error =
        "can't lock the data folder " + folder + " (" + path + ": " + std::strerror(errno) + ")";
    return nullptr;
  }
  // A record lock, not flock: the system can then say which process holds it.
  flock lock = WholeFile(F_WRLCK);
  if (::fcntl(fd, F_SETLK, &lock) != 0) {
    const int err = errno;
    flock holder = WholeFile(F_WRLCK);
    if ((err == EACCES || err == EAGAIN) && ::fcntl(fd, F_GETLK, &holder) == 0 &&
        holder.l_type != F_UNLCK) {
      error = "the data folder " + folder + " is in use by process " +
              std::to_string(holder.l_pid) + "; only one radio may keep its presets there";
    } else {
      error = "can't lock the data folder " + folder + " (" + std::strerror(err) + ")";
    }
    ::close(fd);
    return nullptr;
  }
  // The holder's number in the file too, for a person looking (the lock itself is the truth);
  // never into a file that is also another name's (a hard link) or no plain file at all.
  struct stat info {};
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
      (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.data(), pid.size(), 0) < 0)) {
    // only informative
  }
  return std::unique_ptr<DataLock>(new DataLock(fd));
}

DataLock::~DataLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<DataLock> ClaimDataFolder(const Folders& folders, std::string& error) {
  if (!folders.problem.empty()) {
    error = folders.problem;
    return nullptr;
  }
  if (!MakeFolderPath(folders.data)) return std::unique_ptr<DataLock>(new DataLock(-1));
  return DataLock::Acquire(folders.data, error);
}

}  // namespace host
