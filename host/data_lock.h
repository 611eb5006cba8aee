// One radio per data folder: two hosts saving the same preset lists would overwrite each other's
// changes. A host holds an exclusive lock on "halvane.lock" in its data folder for as long as it
// runs; the system releases it when the process ends, however it ends.
#ifndef HALVANE_HOST_DATA_LOCK_H
#define HALVANE_HOST_DATA_LOCK_H

#include <memory>
#include <string>

namespace host {

struct Folders;

inline constexpr const char* kDataLockFile = "halvane.lock";

class DataLock {
 public:
  // Locks `folder` (which must exist, ending with "/"). Nothing, with `error` saying why in a
  // sentence for the user, when another process holds it ("... is in use by process 1234") or
  // the lock file can't be made. A folder that can't be written at all needs no lock: nothing is
  // locked then.
  static std::unique_ptr<DataLock> Acquire(const std::string& folder, std::string& error);
  ~DataLock();
  DataLock(const DataLock&) = delete;
  DataLock& operator=(const DataLock&) = delete;

 private:
  friend std::unique_ptr<DataLock> ClaimDataFolder(const Folders&, std::string&);
  explicit DataLock(int fd) : fd_(fd) {}
  int fd_;  // -1: nothing locked (no folder to lock)
};

// What every face does before it creates the plug-in: stops when there are no folders of the
// user's (`folders.problem`), makes the data folder and locks it. Nothing, with `error` for the
// user, when the face must stop (exit status 1). A data folder that can't be made is left to the
// host's own warning that nothing will be saved, and needs no lock.
std::unique_ptr<DataLock> ClaimDataFolder(const Folders& folders, std::string& error);

}  // namespace host

#endif
