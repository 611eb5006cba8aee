// Runs a statement in a child process as the unprivileged user 65534, for faults that a
// privileged process would not meet (a read-only or private file). The parent then checks what
// the child left behind.
#ifndef HALVANE_TESTS_AS_NOBODY_H
#define HALVANE_TESTS_AS_NOBODY_H

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace testing_support {

inline constexpr uid_t kNobody = 65534;

// Gives `path` to that user (when this process may), so the child can write in it.
inline bool LendToNobody(const std::string& path) {
  return ::geteuid() != 0 || ::chown(path.c_str(), kNobody, kNobody) == 0;
}

// The statement's result (0..255) as the child's exit status; 98 when the child could not drop
// its rights, 99 when it ended otherwise. Without privileges the child just runs the statement.
inline int AsNobody(const std::function<int()>& statement) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
      _exit(98);
    _exit(statement() & 0xFF);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 99;
  return WEXITSTATUS(status);
}

inline mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace testing_support

#endif
