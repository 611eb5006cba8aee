// Follows the tuned programme from transmitter to transmitter as reception fades: when the
// tuned signal stays weak, the confirmed alternative frequencies are checked and the radio moves
// to the strongest one carrying the same programme (the same PI), never to another programme.
// A move needs a clear margin (hysteresis) and waits a hold time after the last round, so the
// radio never ping-pongs between two transmitters of like strength. After a total loss the
// programme is searched by its PI, on its alternatives first, then over the band, a few channels
// a round.
//
// The follower decides what is checked and when, and keeps the tuner's time: the checks follow
// each other, each charged what it cost in silence or in real time, whichever is longer. The
// backend says what is tuned and how strong, and checks one frequency when asked (af_probe.h):
// a short muted jump on a tuner with one front end, a measurement inside the captured span on an
// SDR.
#ifndef HALVANE_DRIVER_RDS_AF_FOLLOWER_H
#define HALVANE_DRIVER_RDS_AF_FOLLOWER_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rds/af_probe.h"

namespace halvane::driver::rds {

inline constexpr int kAfWeakLevel = 9;         // from this level on the programme is looked for
inline constexpr int kAfHysteresis = 3;        // an alternative must be this much stronger
inline constexpr int64_t kAfWeakForMs = 1000;  // weak this long before a round of checks
inline constexpr int64_t kAfHoldMs = 5000;     // no new round this soon after the last
inline constexpr int64_t kAfLostForMs = 2000;  // nothing this long: search by PI
// While nothing is heard the search goes on sooner: its checks silence nothing, and the
// programme should be back as soon as the car leaves the tunnel.
inline constexpr int64_t kAfSearchHoldMs = 1000;
// A search by PI checks this many channels of the band per round besides the alternatives, the
// next ones in the next round, so the rounds come round the whole band.
inline constexpr size_t kAfSearchChannelsPerRound = 8;
// A round's checks are spread over the polls: a poll begins no check once the checks before it
// have the tuner busy this far past the poll's time, so no call of the host waits for a whole
// round (at most this plus one check).
inline constexpr int64_t kAfPollBudgetMs = 100;

struct AfFollowStatistics {
  int rounds = 0;    // rounds of checks made
  int checks = 0;    // alternatives checked
  int switches = 0;  // moves to another transmitter
  // Time the listener heard nothing because of checks made while the station was heard; checks
  // after a total loss (nothing to hear anyway) count apart, in searchMs.
  int64_t silentMs = 0;
  int64_t longestSilentMs = 0;  // the longest single check while the station was heard
  int64_t searchMs = 0;         // the time checks after a total loss took
};

// The report lines of how the following went: "follow.switches=", "follow.checks=",
// "follow.silentms=", "follow.longestms=" and "follow.searchms=".
std::string FollowReport(const AfFollowStatistics& statistics);

// The tuned programme as its confirmed RDS tells it: its PI, and the alternatives of the tuned
// frequency's own list. Regional variants carry another PI (their region code), which the
// follower never takes, so they are left out.
struct FollowedProgramme {
  std::optional<uint16_t> pi;
  std::vector<int32_t> afs;
};
class RdsMonitor;
FollowedProgramme ProgrammeOf(const RdsMonitor& monitor, int32_t tuned);

// What one look at the tuned station came to.
struct AfStep {
  std::optional<int32_t> move;  // the frequency to move to, once a round has found one
  // A check left the station: the backend tunes to `move`, else back where it was.
  bool retuned = false;
  int32_t failure = 0;  // a check's failure code (AfCheck::failure), to be reported
};

class AfFollower {
 public:
  // `realMs` reads real time, by which a check that took longer than its silence is charged (a
  // tuner whose samples come late): the clock that moves while the backend's calls wait.
  explicit AfFollower(std::function<int64_t()> realMs) : realMs_(std::move(realMs)) {}

  void SetEnabled(bool on) { enabled_ = on; }
  bool enabled() const { return enabled_; }

  // The user tuned: start over with whatever programme is found there (a round under way ends).
  void Tuned(int64_t nowMs);

  // One look at the tuned station: its frequency, level, and the PI and AF list its RDS
  // confirmed (none yet: empty). Starts a round of checks or goes on with the one under way,
  // asking `probe` to check each candidate in turn.
  AfStep Step(int64_t nowMs, int32_t frequency, int level, const FollowedProgramme& heard,
              AfProbe& probe);

  const AfFollowStatistics& statistics() const { return statistics_; }
  std::optional<uint16_t> programme() const { return programme_; }
  // The programme's alternatives as last confirmed, kept across moves.
  const std::vector<int32_t>& alternatives() const { return alternatives_; }

 private:
  // A round of checks, spread over polls.
  struct Round {
    std::vector<int32_t> candidates;  // the alternatives, then (searching) band channels
    size_t alternatives = 0;          // how many of them are the programme's alternatives
    size_t next = 0;
    bool lost = false;  // the tuned station is not heard, so the checks silence nothing
    int bestLevel = 0;  // what a candidate must match or beat
    std::optional<int32_t> best;
  };

  void StartRound(int64_t nowMs, std::vector<int32_t> candidates, size_t alternatives, bool lost,
                  int mustBeat);
  // This poll's share of the round; the move once the round is over and found one.
  AfStep GoOn(int64_t nowMs, int32_t tuned, AfProbe& probe);
  // The band channels this search round checks besides the alternatives, from where the last
  // round left off, wrapping round the band's end.
  std::vector<int32_t> NextSearchChannels(int32_t tuned);

  std::function<int64_t()> realMs_;
  bool enabled_ = true;
  std::optional<uint16_t> programme_;  // the PI being followed
  std::vector<int32_t> alternatives_;  // its last confirmed AF list, kept across moves
  std::optional<int64_t> weakSinceMs_;
  std::optional<int64_t> lostSinceMs_;
  std::optional<int64_t> lastRoundMs_;  // when the last round ended
  std::optional<Round> round_;          // the round under way
  size_t searchFrom_ = 0;               // the FM channel the next search round starts from
  // The driver's time at which the tuner is done with the checks made so far. Where the clock
  // is held, checks made in one poll lie after it, and the next poll's begin only after them.
  std::optional<int64_t> busyUntilMs_;
  AfFollowStatistics statistics_;
};

}  // namespace halvane::driver::rds

#endif
