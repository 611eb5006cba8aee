// The whole receiver for one channel: FM demodulation, stereo decoding and RDS, from IQ samples
// to 48 kHz stereo sound and the RDS decoder's data, with the measures a tuner reports: pilot
// lock, carrier-to-noise and the reception level.
#ifndef HALVANE_DRIVER_SDR_DSP_RECEIVER_H
#define HALVANE_DRIVER_SDR_DSP_RECEIVER_H

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "rds/rds_monitor.h"
#include "sdr/dsp/block_sync.h"
#include "sdr/dsp/fm_demodulator.h"
#include "sdr/dsp/rds_demodulator.h"
#include "sdr/dsp/stereo_decoder.h"

namespace halvane::driver::sdr {

// Reception level 0 (best) to 14 from the carrier-to-noise ratio: 0 from kLevelZeroCnrDb up,
// one level worse every kDbPerLevel below; under kNoCarrierCnrDb there is no station (15).
inline constexpr double kLevelZeroCnrDb = 36;
inline constexpr double kDbPerLevel = 2;
inline constexpr double kNoCarrierCnrDb = 6;
// RDS block errors count as well: one level for every 4 % of blocks damaged.
inline constexpr double kBlockErrorPerLevel = 0.04;

int LevelForCnr(std::optional<double> cnrDb);

struct ReceiverOptions {
  double sampleRate = 1'024'000;
  double deemphasisUs = 50;
};

class Receiver {
 public:
  explicit Receiver(const ReceiverOptions& options);

  // A new channel `offsetHz` from the source's centre: everything received before is forgotten,
  // and the next Process demodulates the new channel alone.
  void Tune(double offsetHz);

  // The signal broke off (samples were dropped): the demodulators start afresh on the next
  // samples, and no RDS group is put together across the gap. What the RDS decoder holds stays.
  void Interrupt();

  // Demodulates `iq`, whose last sample arrived at `endMs`. Sound goes to `audio` (appended,
  // interleaved stereo at 48 kHz); RDS groups go to the monitor while `rdsOn`.
  void Process(std::span<const Complex> iq, int64_t endMs, bool rdsOn, std::vector<float>& audio);

  // Only measures the channel (for a search): no sound, no RDS.
  void Measure(std::span<const Complex> iq);

  bool PilotLocked() const { return stereo_.PilotLocked(); }
  std::optional<double> CarrierToNoiseDb() const { return fm_.meter().CarrierToNoiseDb(); }
  // 0..15 from the carrier-to-noise and the share of RDS blocks damaged in the last second.
  int Level(int64_t nowMs) const;

  // Every group decoded from now on is also handed to `tap`, as the monitor gets it (for
  // measuring the receiver against what was sent).
  void TapGroups(std::function<void(const rds::ReceivedGroup&)> tap) { tap_ = std::move(tap); }

  rds::RdsMonitor& monitor() { return monitor_; }
  const BlockSync& blockSync() const { return sync_; }

 private:
  ReceiverOptions options_;
  FmDemodulator fm_;
  StereoDecoder stereo_;
  RdsDemodulator rds_;
  BlockSync sync_;
  rds::RdsMonitor monitor_;
  std::function<void(const rds::ReceivedGroup&)> tap_;
  std::vector<float> multiplex_;
  std::vector<float> pilotPhase_;
  std::vector<uint8_t> bits_;
};

}  // namespace halvane::driver::sdr

#endif
