// The terminal radio doing nothing: halvane-host in a pseudo-terminal (80x24), 32767 presets,
// tuned to a station whose RDS keeps arriving, its own CPU time over an idle period. The floor is
// the same program in batch mode inside one long "wait": a GLib loop doing just the plug-in's
// 100 ms status poll, with the same driver, presets and station. Both are child processes, their
// CPU time read from the kernel's per-thread accounting, so start-up is never counted.
#include <dirent.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench_pairs.h"
#include "preset_files.h"

namespace bench {
namespace {

constexpr auto kSettle = std::chrono::seconds(3);
constexpr auto kIdle = std::chrono::seconds(2);

// Nanoseconds the process has run on a processor, all its threads together.
double ProcessCpuNs(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double total = 0;
  if (DIR* dir = ::opendir(tasks.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
      double ns = 0;
      if (in >> ns) total += ns;
    }
    ::closedir(dir);
  }
  return total;
}

// Reads and drops whatever `fd` has until `until`, so the child never blocks on its output.
void DrainUntil(int fd, std::chrono::steady_clock::time_point until, std::string* seen = nullptr) {
  char buf[4096];
  for (auto now = std::chrono::steady_clock::now(); now < until;
       now = std::chrono::steady_clock::now()) {
    pollfd p{fd, POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now);
    if (::poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) return;
    if (seen != nullptr) seen->append(buf, static_cast<size_t>(n));
  }
}

// A --home with the full preset list, tuned to 87.5 MHz (the simulated band's station with RDS).
struct IdleHome {
  IdleHome() {
    char pattern[] = "/tmp/halvane-idle-XXXXXX";
    root = ::mkdtemp(pattern);
    std::system(("mkdir -p " + root + "/home/data").c_str());
    WriteFileOrThrow(root + "/home/data/Radio.ini", PresetListBytes(kFullStore));
  }
  ~IdleHome() { std::system(("rm -rf " + root).c_str()); }
  std::vector<std::string> Environment() const {
    return {"HALVANE_CLASS_REGISTRY=" + root + "/classes.reg",
            "HALVANE_STATIONS=", "LC_ALL=C.UTF-8", "TERM=xterm-256color", "HOME=" + root};
  }
  std::string root;
};

[[noreturn]] void Exec(const IdleHome& home, std::vector<std::string> args) {
  for (const std::string& e : home.Environment()) ::putenv(::strdup(e.c_str()));
  args.insert(args.begin(), HALVANE_HOST_PROGRAM);
  args.insert(args.end(), {"--home", home.root + "/home"});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

// A settled child, kept for every repetition of its side and stopped at exit.
struct Child {
  IdleHome home;
  pid_t pid = -1;
  int output = -1;  // what it writes, drained while it is measured
  int input = -1;
  ~Child() {
    if (pid > 0) {
      ::kill(pid, SIGTERM);
      ::waitpid(pid, nullptr, 0);
    }
    if (output >= 0) ::close(output);
    if (input >= 0) ::close(input);
  }
};

// Reads what the child writes until `text` has appeared (or a generous deadline passed).
void DrainUntilText(int fd, const std::string& text) {
  std::string seen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (seen.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline)
    DrainUntil(fd, std::chrono::steady_clock::now() + std::chrono::milliseconds(100), &seen);
}

Child& TerminalChild() {
  static Child c;
  if (c.pid < 0) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    c.pid = ::forkpty(&c.output, nullptr, nullptr, &size);
    if (c.pid == 0) Exec(c.home, {});
    // On the station, its name drawn; then its RadioText completes.
    DrainUntilText(c.output, "LOWEND");
    DrainUntil(c.output, std::chrono::steady_clock::now() + kSettle);
  }
  return c;
}

Child& BatchChild() {
  static Child c;
  if (c.pid < 0) {
    int toHost[2], fromHost[2];
    if (::pipe(toHost) != 0 || ::pipe(fromHost) != 0) std::abort();
    c.pid = ::fork();
    if (c.pid == 0) {
      ::dup2(toHost[0], STDIN_FILENO);
      ::dup2(fromHost[1], STDOUT_FILENO);
      Exec(c.home, {"--batch", "--real-clock"});
    }
    ::close(toHost[0]);
    ::close(fromHost[1]);
    c.input = toHost[1];
    c.output = fromHost[0];
    const std::string script = "create\nstart\nactive true\nrefresh\nwait 600000\n";
    if (::write(c.input, script.data(), script.size()) < 0) std::abort();
    DrainUntilText(c.output, "ok\nok\nok\nok\n");
    DrainUntil(c.output, std::chrono::steady_clock::now() + kSettle);
  }
  return c;
}

// The idle period's CPU time of a settled child, as the iteration's time.
void MeasureIdle(benchmark::State& state, Child& child) {
  for (auto _ : state) {
    const double before = ProcessCpuNs(child.pid);
    DrainUntil(child.output, std::chrono::steady_clock::now() + kIdle);
    state.SetIterationTime((ProcessCpuNs(child.pid) - before) / 1e9);
  }
}

void IdleOurs(benchmark::State& state) { MeasureIdle(state, TerminalChild()); }
void IdleFloor(benchmark::State& state) { MeasureIdle(state, BatchChild()); }

const Registration kRegistration([] {
  AddPair({.row = 20,
           .name = "IdleTerminal",
           .floor = "batch host in one wait: the 100 ms status poll alone",
           .maxRatio = 1.5,
           .clock = Clock::kProcess,
           .repetitions = 9},
          IdleOurs, IdleFloor);
});

}  // namespace
}  // namespace bench
