// A PulseAudio daemon of the test's own: a private runtime folder and socket, one null sink, no
// autospawn, stopped when the object goes. The process's PULSE_SERVER names it meanwhile, so a
// client opened by the code under test plays into its sink.
#ifndef HALVANE_TESTS_AUDIO_PULSE_DAEMON_H
#define HALVANE_TESTS_AUDIO_PULSE_DAEMON_H

#include <sys/types.h>

#include <string>
#include <vector>

namespace halvane::audio_test {

class PulseDaemon {
 public:
  PulseDaemon();
  ~PulseDaemon();
  PulseDaemon(const PulseDaemon&) = delete;
  PulseDaemon& operator=(const PulseDaemon&) = delete;

  bool ready() const { return ready_; }
  const std::string& server() const { return server_; }
  const std::string& folder() const { return folder_; }
  // Stops the daemon and starts it again on the same socket, as a desktop restarts its server.
  void Restart();
  // `pactl` against this daemon; its standard output.
  std::string Pactl(const std::vector<std::string>& arguments) const;

 private:
  void Start();

  std::string folder_;
  std::string server_;
  pid_t pid_ = -1;
  bool ready_ = false;
};

// Records the null sink's monitor with parec, as raw 48 kHz stereo float, into a file.
class MonitorRecorder {
 public:
  explicit MonitorRecorder(const PulseDaemon& daemon);
  ~MonitorRecorder();
  // Frames recorded so far.
  size_t frames() const;
  // Stops parec and returns what it recorded.
  std::vector<float> Finish();

 private:
  std::string path_;
  pid_t pid_ = -1;
};

// Runs `argv` with the environment given and waits for it; its standard output.
std::string RunForOutput(const std::vector<std::string>& argv);

// Waits up to `seconds` for `done` to hold, looking every 10 ms.
template <typename Done>
bool WaitUntil(Done done, double seconds = 10);

}  // namespace halvane::audio_test

#include <chrono>
#include <thread>

template <typename Done>
bool halvane::audio_test::WaitUntil(Done done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

#endif
