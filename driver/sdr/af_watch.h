// Alternative frequencies measured inside the captured span while the station plays: each
// alternative the samples reach gets a receiver of its own, fed the same samples as the tuned
// station's, so its level and PI are known without leaving the station (no gap in the sound).
// Switching to one hands its receiver over, already locked to the pilot and decoding RDS.
#ifndef HALVANE_DRIVER_SDR_AF_WATCH_H
#define HALVANE_DRIVER_SDR_AF_WATCH_H

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "rds/af_probe.h"
#include "sdr/dsp/receiver.h"

namespace halvane::driver::sdr {

// Each watched alternative costs a receiver's demodulation: at most this many at once.
inline constexpr size_t kMaxWatched = 3;

// The farthest a channel may lie from the samples' centre and still be received whole: its
// 100 kHz half-width and a margin for the decimating filters' edge inside the rate's half.
double ReachHz(double sampleRate);

class AfWatch {
 public:
  explicit AfWatch(const ReceiverOptions& options) : options_(options) {}

  // The alternatives to watch now, as frequencies and their offsets from the samples' centre;
  // those beyond the span's reach are left out, those watched already go on where they were.
  // An empty list stops watching.
  void Watch(const std::vector<std::pair<int32_t, double>>& candidates);
  // True when `frequency` is watched.
  bool Watching(int32_t frequency) const;

  // The samples the tuned station's receiver just took, whose last arrived at `endMs`.
  void Process(std::span<const Complex> iq, int64_t endMs);

  // What the watched alternative's receiver measures now: its level and confirmed PI; no
  // silence. No signal for a frequency not watched.
  rds::AfCheck Check(int32_t frequency, int64_t nowMs) const;

  // The receiver of a watched alternative, handed over for playing (none when not watched).
  std::unique_ptr<Receiver> Take(int32_t frequency);

 private:
  struct Watched {
    int32_t frequency;
    double offsetHz;
    std::unique_ptr<Receiver> receiver;
  };

  ReceiverOptions options_;
  std::vector<Watched> watched_;
  std::vector<float> discarded_;  // the alternatives' sound, which nobody hears
};

}  // namespace halvane::driver::sdr

#endif
