// halvane-host run as a child process, talked to through pipes: one action out, one answer back.
#ifndef HALVANE_TESTS_E2E_HOST_PROCESS_H
#define HALVANE_TESTS_E2E_HOST_PROCESS_H

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// A folder under /tmp, removed with everything in it at destruction.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The host program under test and the environment every run gets: its own class registry, no
// band file override, the given locale.
std::string HostProgram();

class HostProcess {
 public:
  // Starts `HostProgram() args...` with `env` added to (or, with an empty value, removed from)
  // the environment.
  HostProcess(const std::vector<std::string>& args, const std::map<std::string, std::string>& env);
  ~HostProcess();
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  // Sends one line; nothing is read.
  void Send(const std::string& line);
  // The next answer line, or nothing when the host closed its output or gave no line within the
  // deadline (a hung host fails the test instead of hanging it).
  std::optional<std::string> ReadLine(int deadlineMs = 60000);
  // Sends an action and returns its answer ("<no answer>" when there is none).
  std::string Ask(const std::string& line);
  // Closes the host's input and returns its exit status (-1 when it did not exit normally).
  int Finish();

 private:
  pid_t pid_ = -1;
  int toHost_ = -1;
  int fromHost_ = -1;
  std::string buffered_;
  int status_ = -1;
};

}  // namespace e2e

#endif
