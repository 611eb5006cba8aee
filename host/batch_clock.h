// The simulated driver's clock as batch mode drives it. The simulated tuner exports test-only
// hooks that stop its clock and move it by hand; batch mode uses them so that RDS arrives by
// `wait` alone and a script's answers never depend on how fast the machine runs. A driver
// without the hooks (a real tuner, another test driver) keeps its own time.
#ifndef HALVANE_HOST_BATCH_CLOCK_H
#define HALVANE_HOST_BATCH_CLOCK_H

#include <cstdint>
#include <map>
#include <string>

namespace host {

class BatchClock {
 public:
  // Stops the clock of the driver library at `path`, once per library; nothing when the library
  // can't be loaded or has no hooks. Returns whether that library's clock is held.
  bool Hold(const std::string& path);
  // Moves every held clock forward by `ms` milliseconds.
  void Advance(int32_t ms);

 private:
  using AdvanceFn = int32_t (*)(int32_t);
  std::map<std::string, AdvanceFn> held_;  // by library path; null when it has no hooks
};

}  // namespace host

#endif
