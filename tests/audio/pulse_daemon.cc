#include "pulse_daemon.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace halvane::audio_test {
namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::string& outPath) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void StopProcess(pid_t pid, int signal) {
  if (pid <= 0) return;
  kill(pid, signal);
  int status = 0;
  waitpid(pid, &status, 0);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace

std::string RunForOutput(const std::vector<std::string>& argv) {
  std::string command;
  for (const std::string& a : argv) command += "'" + a + "' ";
  std::string out;
  if (FILE* pipe = popen((command + "2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

PulseDaemon::PulseDaemon() {
  char name[] = "/tmp/halvane-pulse.XXXXXX";
  if (mkdtemp(name) == nullptr) return;
  folder_ = name;
  server_ = "unix:" + folder_ + "/native";
  // Everything the daemon and its clients keep goes to the private folder; running as root (as
  // CI does) is allowed for a daemon that is not a system-wide one.
  setenv("HOME", folder_.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
  setenv("PULSE_RUNTIME_PATH", folder_.c_str(), 1);
  setenv("PULSE_STATE_PATH", folder_.c_str(), 1);
  setenv("PULSE_SERVER", server_.c_str(), 1);
  setenv("PULSE_CLIENTCONFIG", "/dev/null", 1);
  Start();
}

void PulseDaemon::Start() {
  const std::string socket = folder_ + "/native";
  pid_ = Spawn({HALVANE_PULSEAUDIO, "-n", "--daemonize=no", "--system=false", "--exit-idle-time=-1",
                "--use-pid-file=false", "--disallow-module-loading",
                "--log-target=file:" + folder_ + "/daemon.log",
                "--load=module-null-sink sink_name=halvane_test rate=48000 channels=2 "
                "format=float32le",
                "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket},
               "/dev/null");
  ready_ = pid_ > 0 && WaitUntil([&] {
             return Pactl({"info"}).find("Default Sink: halvane_test") != std::string::npos;
           });
}

void PulseDaemon::Restart() {
  StopProcess(pid_, SIGTERM);
  pid_ = -1;
  Start();
}

PulseDaemon::~PulseDaemon() {
  StopProcess(pid_, SIGTERM);
  unsetenv("PULSE_SERVER");
  std::error_code error;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, error);
}

std::string PulseDaemon::Pactl(const std::vector<std::string>& arguments) const {
  std::vector<std::string> argv{HALVANE_PACTL, "-s", server_};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunForOutput(argv);
}

MonitorRecorder::MonitorRecorder(const PulseDaemon& daemon)
    : path_(daemon.folder() + "/monitor.raw") {
  pid_ = Spawn({HALVANE_PAREC, "-s", daemon.server(), "-d", "halvane_test.monitor", "--raw",
                "--format=float32le", "--rate=48000", "--channels=2", "--latency-msec=100"},
               path_);
}

MonitorRecorder::~MonitorRecorder() { StopProcess(pid_, SIGTERM); }

size_t MonitorRecorder::frames() const {
  std::error_code error;
  const auto size = std::filesystem::file_size(path_, error);
  return error ? 0 : size / (2 * sizeof(float));
}

std::vector<float> MonitorRecorder::Finish() {
  StopProcess(pid_, SIGTERM);
  pid_ = -1;
  const std::string bytes = ReadFile(path_);
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  return samples;
}

}  // namespace halvane::audio_test
