#include "host_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace e2e {

ScratchDir::ScratchDir() {
  char pattern[] = "/tmp/halvane-e2e-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string HostProgram() { return HALVANE_HOST_PROGRAM; }

HostProcess::HostProcess(const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");

  std::map<std::string, std::string> merged;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry = *e;
    size_t eq = entry.find('=');
    if (eq != std::string::npos) merged[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [name, value] : env) {
    if (value.empty())
      merged.erase(name);
    else
      merged[name] = value;
  }
  std::vector<std::string> envStrings, argStrings{HostProgram()};
  for (const auto& [name, value] : merged) envStrings.push_back(name + "=" + value);
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> envp, argv;
  for (auto& s : envStrings) envp.push_back(s.data());
  for (auto& s : argStrings) argv.push_back(s.data());
  envp.push_back(nullptr);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  int rc = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  toHost_ = in[1];
  fromHost_ = out[0];
  if (rc != 0) {
    pid_ = -1;
    throw std::runtime_error("can't start " + HostProgram() + ": " + std::strerror(rc));
  }
}

HostProcess::~HostProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    Finish();
  }
  if (fromHost_ >= 0) ::close(fromHost_);
}

void HostProcess::Send(const std::string& line) {
  std::string data = line + "\n";
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(toHost_, p, left);
    if (n <= 0) return;  // the host is gone; ReadLine reports it
    p += n;
    left -= static_cast<size_t>(n);
  }
}

std::optional<std::string> HostProcess::ReadLine(int deadlineMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
  while (true) {
    size_t newline = buffered_.find('\n');
    if (newline != std::string::npos) {
      std::string line = buffered_.substr(0, newline);
      buffered_.erase(0, newline + 1);
      return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) return std::nullopt;
    pollfd pfd{fromHost_, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(left)) <= 0) continue;
    char buf[4096];
    ssize_t n = ::read(fromHost_, buf, sizeof buf);
    if (n <= 0) return std::nullopt;
    buffered_.append(buf, static_cast<size_t>(n));
  }
}

std::string HostProcess::Ask(const std::string& line) {
  Send(line);
  return ReadLine().value_or("<no answer>");
}

int HostProcess::Finish() {
  if (toHost_ >= 0) {
    ::close(toHost_);
    toHost_ = -1;
  }
  if (pid_ > 0) {
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
  }
  return status_;
}

}  // namespace e2e
