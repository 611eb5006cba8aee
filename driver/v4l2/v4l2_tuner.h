// A real FM (and AM) tuner through the kernel's V4L2 radio interface: /dev/radioN with hardware
// seek, and RDS delivered as blocks or as controls. Written against the drivers as they behave
// (docs/hardware.md lists them), not only as the interface describes them.
//
// The device is open from Initialize to Uninitialize; SetMute is the one place the tuner's sound
// is switched.
#ifndef HALVANE_DRIVER_V4L2_V4L2_TUNER_H
#define HALVANE_DRIVER_V4L2_V4L2_TUNER_H

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver_clock.h"
#include "rds/af_follower.h"
#include "rds/af_probe.h"
#include "rds/raw_blocks.h"
#include "rds/rds_monitor.h"
#include "rds/traffic_follower.h"
#include "tuner_backend.h"
#include "v4l2/driver_quirks.h"
#include "v4l2/frequency_units.h"
#include "v4l2/noise_floor.h"
#include "v4l2/radio_device.h"
#include "v4l2/segment_confirmation.h"

namespace halvane::driver::v4l2 {

struct V4l2Options {
  std::string devicePath = "/dev/radio0";
  // The weakest level (0 best .. 14) a software seek stops on, and the "station" state flag.
  int seekThreshold = 10;
  // Follow the programme over its alternative frequencies (checked by short muted jumps).
  bool followAlternatives = true;
};

class V4l2Tuner final : public TunerBackend, private rds::AfProbe {
 public:
  // `wallMs` reads real time, which a device's calls take whatever the driver's clock does.
  V4l2Tuner(std::unique_ptr<RadioDevice> device, V4l2Options options, const DriverClock& clock,
            std::function<int64_t()> wallMs = MonotonicMs);

  int32_t Initialize() override;
  int32_t Uninitialize() override;
  int32_t SetMute(bool mute) override;
  int32_t SetForceMono(bool mono) override;
  int32_t SetFrequency(int32_t frequency) override;
  int32_t GetFrequency(int32_t& frequency) override;
  int32_t Search(int32_t& frequency, bool up) override;
  int32_t StartRds() override;
  int32_t StopRds() override;
  int32_t GetState(uint8_t& flags) override;
  int32_t GetDecoderState(uint32_t& state) override;
  int32_t EvalData(RdsRecord& record) override;
  int32_t ExtendedRds(std::string& report) override;
  int32_t SetTraffic(bool on) override;
  bool TrafficAway() const override { return traffic_.away(); }

  // Whether the open device switches its sound with a mute control (known from Initialize on).
  bool HasMuteControl() const { return hasMute_; }
  const rds::AfFollowStatistics& followStatistics() const { return follower_.statistics(); }

 private:
  // A band of the device, in its own units; `listed` when the device enumerated it (a seek may
  // name it), not made from the tuner's range.
  struct DeviceBand {
    bool am;
    bool listed;
    uint32_t low;
    uint32_t high;
    TunerUnit unit;
  };
  // The last frequency set through the driver, so reading it back gives exactly that value even
  // where the tuner's units cannot hold it.
  struct Tuned {
    int32_t value;
    uint32_t units;
  };
  enum class RdsSource { None, Blocks, Controls };

  // v4l2_tuner.cc: opening, failures, tuning, state.
  int32_t OpenAndCheck();
  void ReadBands(const v4l2_tuner& tuner);
  int32_t Ready();
  // The result code for a failed call, with its reason: the device is taken as lost only when
  // VIDIOC_QUERYCAP confirms it went away.
  int32_t Failure(int error, std::string_view doing);
  int32_t Refuse(int32_t code, std::string_view why);
  const DeviceBand* BandFor(int32_t value) const;
  // `sameProgramme`: another transmitter of the programme, whose RDS data stay shown.
  int32_t Tune(int32_t value, bool sameProgramme = false);
  int32_t ReadTuner(v4l2_tuner& tuner);
  int32_t ReadFrequency(int32_t& value);
  int32_t ValueOfUnits(uint32_t units) const;
  int LevelOf(const v4l2_tuner& tuner) const;

  // v4l2_seek.cc
  int32_t BandEdge(const DeviceBand& band, bool up) const;
  // One seek to the next station, by the device's hardware seek where it can, else by a walk.
  int32_t SeekOnce(int32_t& frequency, bool up, const DeviceBand& band);
  // Reads the tuned station's RDS for at most kTrafficFlagWaitMs (and not past `deadline`): its
  // TP, or nothing where none was received; `readable` false where the device's RDS cannot be
  // read at all. Only the device's loss is an error.
  int32_t ListenForTraffic(int64_t deadline, std::optional<bool>& tp, bool& readable);
  // Nothing when the device cannot do this seek and the raster must be walked instead.
  std::optional<int32_t> HardwareSeek(int32_t& value, bool up, const DeviceBand& band);
  int32_t SoftwareSeek(int32_t& value, bool up, const DeviceBand& band);
  // Tunes the edge the seek ran to and reports the band's end.
  int32_t EndOfBand(int32_t& value, bool up, const DeviceBand& band);
  // Reads the signal on the channel next to `start`, which a seek passed over as empty; true
  // when it tuned there.
  bool MeasureNoiseFloor(int32_t start, bool up);

  // v4l2_rds.cc. Forget the station (hold the programme's data with `sameProgramme`),
  // discarding blocks already waiting; discard them only; read what arrived. Only the device's
  // loss is an error: any other failure switches RDS off until the next tune.
  int32_t ResetRds(bool sameProgramme = false);
  int32_t DrainRds();
  int32_t PumpRds();
  // Reads the blocks waiting into the decoder, whether decoding is on or not; without a time,
  // reads them only to discard them.
  int32_t ReadBlocks(std::optional<int64_t> now);
  int32_t RdsReadFailure(int error);
  void TakeBlock(rds::RawBlock block, int64_t now);
  int32_t EvalControls(RdsRecord& record);

  // v4l2_af.cc: following the programme over its alternative frequencies, at every decoder
  // state poll. A check is a muted jump: tune, settle, read the level and, for a candidate
  // strong enough, the PI; then back.
  int32_t Follow(int level);
  // To a linked programme's announcement, or back to the programme, whose data show again.
  int32_t FollowTraffic(const rds::TrafficMove& move);
  rds::AfCheck Check(const rds::AfCandidate& candidate) override;
  // A check that found nothing: failed when the device is gone.
  rds::AfCheck Gone() const;
  std::optional<uint16_t> ReadPi(int64_t untilMs);

  std::unique_ptr<RadioDevice> device_;
  V4l2Options options_;
  const DriverClock& clock_;

  bool initialized_ = false;
  bool lost_ = false;
  bool muted_ = false;
  bool mono_ = false;
  bool hasMute_ = false;
  bool rdsRunning_ = false;
  bool rdsOffThisTune_ = false;
  bool hardwareSeek_ = false;
  bool amTuned_ = false;
  RdsSource rdsSource_ = RdsSource::None;
  DriverQuirks quirks_;
  uint32_t tunerCapability_ = 0;
  std::vector<DeviceBand> bands_;
  std::optional<Tuned> tuned_;
  NoiseFloor noiseFloor_;
  int noiseProbes_ = 0;
  std::vector<uint8_t> pendingRds_;  // bytes of a block record not yet complete
  bool afterVersionB_ = false;       // the last block was a block B of a version B group
  rds::RawGroupAssembler assembler_;
  SegmentConfirmation confirmation_;
  rds::RdsMonitor monitor_;
  rds::AfFollower follower_;
  rds::TrafficFollower traffic_;
};

}  // namespace halvane::driver::v4l2

#endif
