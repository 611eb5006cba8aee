// Where the receiver's IQ samples come from: a SoapySDR device, a recording, or the synthetic
// band. Every failure returns a result code and sets the last reason.
#ifndef HALVANE_DRIVER_SDR_SOURCES_IQ_SOURCE_H
#define HALVANE_DRIVER_SDR_SOURCES_IQ_SOURCE_H

#include <cstdint>
#include <optional>
#include <vector>

#include "sdr/broadcast.h"
#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

// On a running clock, a call that finds the clock far ahead receives only the last this-many
// milliseconds, so no call takes long; what came before would be gone by now on a real radio
// anyway. Each such skip is a gap in the stream (StreamGaps), and the receiver starts afresh
// after it. (A held clock is never behind: the tuner reads it in steps.)
inline constexpr int64_t kMaxBacklogMs = 500;

// How far a tuner's centre sits from the station, in hertz: a quarter of the rate, clear of the
// DC spike of a direct-conversion tuner, when the rate leaves room for the whole multiplex there.
inline double CentreOffsetHz(double rate) { return rate >= 4.0 * kMultiplexRate ? rate / 4 : 0; }

class IqSource {
 public:
  virtual ~IqSource() = default;

  virtual int32_t Open(int64_t nowMs) = 0;
  virtual void Close() = 0;
  virtual double SampleRate() const = 0;

  // Makes `frequencyHz` receivable from `nowMs` on. `offsetHz` is where the channel lies
  // from the samples' centre; nothing when the source cannot reach the frequency at all.
  virtual int32_t Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) = 0;

  // Appends the samples that have arrived by `nowMs` since the last call.
  virtual int32_t ReadDue(int64_t nowMs, std::vector<Complex>& out) = 0;

  // Appends `count` samples of the tuned frequency at once, for measuring it in a search.
  virtual int32_t ReadNow(size_t count, std::vector<Complex>& out) = 0;

  // The places since Open where the samples delivered do not follow on from those before (some
  // were passed over, too late to be worth hearing, or the stream began anew): the receiver
  // starts afresh after each.
  virtual uint64_t StreamGaps() const { return 0; }

  // A source that finds its samples again by itself after a failure (a network server that
  // comes back): its failures last only while they last, the radio need not be restarted.
  virtual bool Reconnects() const { return false; }
};

// A source that plays at its sample rate on the driver's clock: the file and the synthetic band.
class PacedSource : public IqSource {
 public:
  int32_t ReadDue(int64_t nowMs, std::vector<Complex>& out) override;
  int32_t ReadNow(size_t count, std::vector<Complex>& out) override;
  uint64_t StreamGaps() const override { return gaps_; }

 protected:
  // Restarts the pacing at `nowMs`.
  void Restart(int64_t nowMs);
  // The driver's time up to which samples have been delivered: that of a block being produced.
  int64_t PacedMs() const;
  // Appends the next `count` samples.
  virtual int32_t Produce(size_t count, std::vector<Complex>& out) = 0;
  // Passes over `count` samples nobody will hear.
  virtual int32_t Skip(size_t count) = 0;

 private:
  int64_t startedMs_ = 0;
  uint64_t delivered_ = 0;
  uint64_t gaps_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
