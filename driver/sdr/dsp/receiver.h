// The whole receiver for one channel: FM demodulation, stereo decoding and RDS, from IQ samples
// to 48 kHz stereo sound and the RDS decoder's data, with the measures a tuner reports: pilot
// lock, carrier-to-noise and the reception level. The sound goes through the reception stages
// on its way out (stereo blend, high cut, soft mute), each following the quality of the piece it
// belongs to; each can be switched off for the plain receiver.
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
#include "sdr/dsp/high_cut.h"
#include "sdr/dsp/rds_demodulator.h"
#include "sdr/dsp/soft_mute.h"
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

// The reception stages, each on unless switched off.
struct SoundOptions {
  bool blend = true;
  bool highCut = true;
  bool softMute = true;
  bool equaliser = true;
};

struct ReceiverOptions {
  ReceiverOptions(double rate = 1'024'000, double deemphasis = 50, SoundOptions stages = {})
      : sampleRate(rate), deemphasisUs(deemphasis), sound(stages) {}

  double sampleRate;
  double deemphasisUs;
  SoundOptions sound;
};

// What the reception stages measure and do, as the last piece left them.
struct Reception {
  std::optional<double> cnrDb;        // of the last piece, in 200 kHz
  std::optional<double> multipathDb;  // the echo found, against the direct wave
  float pilot = 0;                    // the pilot's level, 1.0 nominal
  float separation = 0;               // the L-R share: 0 mono, 1 full stereo
  std::optional<double> highCutHz;    // the high cut's corner, none while it cuts nothing
  double softMuteDb = 0;              // the soft mute's attenuation
  std::optional<double> equaliserDb;  // the echo the equaliser undoes; none while it is off
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

  // Switches the reception stages (takes effect at once).
  void SetSound(const SoundOptions& sound);

  // Only measures the channel (for a search): no sound, no RDS.
  void Measure(std::span<const Complex> iq);

  bool PilotLocked() const { return stereo_.PilotLocked(); }
  std::optional<double> CarrierToNoiseDb() const { return fm_.meter().CarrierToNoiseDb(); }
  // 0..15 from the carrier-to-noise and the share of RDS blocks damaged in the last second.
  int Level(int64_t nowMs) const;
  Reception reception() const;

  // Every group decoded from now on is also handed to `tap`, as the monitor gets it (for
  // measuring the receiver against what was sent).
  void TapGroups(std::function<void(const rds::ReceivedGroup&)> tap) { tap_ = std::move(tap); }

  rds::RdsMonitor& monitor() { return monitor_; }
  const BlockSync& blockSync() const { return sync_; }

 private:
  // One piece of at most kPieceMs: the stages follow the quality piece by piece.
  void ProcessPiece(std::span<const Complex> iq, int64_t endMs, bool rdsOn,
                    std::vector<float>& audio);
  // The qualities the high cut and the soft mute act on, given the piece's.
  struct NoiseFigures {
    double highCutDb;
    double softMuteDb;
  };
  NoiseFigures NoiseQuality(NoiseFigures piece, bool carrier);

  ReceiverOptions options_;
  FmDemodulator fm_;
  StereoDecoder stereo_;
  RdsDemodulator rds_;
  BlockSync sync_;
  rds::RdsMonitor monitor_;
  std::function<void(const rds::ReceivedGroup&)> tap_;
  HighCut highCut_;
  SoftMute softMute_;
  // The high cut and the soft mute act on the best quality of the last kMuteHoldPieces pieces:
  // a moving echo's brief dips are not a weak station, while a piece with no carrier at all
  // counts at once.
  std::vector<NoiseFigures> recentCnr_;
  std::optional<double> smoothedCnr_;
  size_t recentAt_ = 0;
  std::vector<float> multiplex_;
  std::vector<float> pilotPhase_;
  std::vector<uint8_t> bits_;
};

}  // namespace halvane::driver::sdr

#endif
