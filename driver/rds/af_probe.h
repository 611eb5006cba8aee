// What following the programme asks of a tuner: one frequency checked, and what the check found,
// handed back as a value. The follower decides what is checked, when, and what is made of it;
// each backend checks in its own way (a short muted jump, a receiver of its own on the same
// samples, the source retuned) and says only what it measured and what it cost.
#ifndef HALVANE_DRIVER_RDS_AF_PROBE_H
#define HALVANE_DRIVER_RDS_AF_PROBE_H

#include <cstdint>
#include <optional>

namespace halvane::driver::rds {

// Levels as the decoder state reports them: 0 best, 14 barely, 15 nothing.
inline constexpr int kAfNoSignal = 15;

struct AfCandidate {
  int32_t frequency = 0;
  // Of use only at this level or better (lower): a weaker one's PI may be left unread, sparing
  // the listener the wait.
  int mustBeat = kAfNoSignal - 1;
  // The tuned station is not heard: the check may leave it, there is nothing to break.
  bool lost = false;
  // When the check begins on the driver's clock. The tuner is busy with the checks before it
  // until then, which may lie past the clock's reading where that clock is held.
  int64_t atMs = 0;
};

struct AfCheck {
  int level = kAfNoSignal;
  std::optional<uint16_t> pi;  // none when no group's PI could be read
  int64_t silentMs = 0;        // how long the listener heard nothing for this check
  // The check moved the tuner off the station; it returns (or moves on) once the poll's checks
  // are over, not after each one.
  bool retuned = false;
  // The backend's result code when the check failed in a way the tuner cannot go on from (the
  // device gone, the source lost): the poll makes no more checks and reports it. 0: none.
  int32_t failure = 0;
};

class AfProbe {
 public:
  virtual AfCheck Check(const AfCandidate& candidate) = 0;

 protected:
  AfProbe() = default;
  AfProbe(const AfProbe&) = default;
  AfProbe& operator=(const AfProbe&) = default;
  ~AfProbe() = default;
};

}  // namespace halvane::driver::rds

#endif
