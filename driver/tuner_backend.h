// One tuner behind the driver's exports. The exports check their arguments and hand over
// references; a backend returns the exports' results (0, a result code, or the search's
// band-end code) and writes its outputs only when it returns 0 (the search: 0 or band end).
#ifndef HALVANE_DRIVER_TUNER_BACKEND_H
#define HALVANE_DRIVER_TUNER_BACKEND_H

#include <cstdint>
#include <string>

#include "halvane/driver_contract.h"

namespace halvane::driver {

class TunerBackend {
 public:
  virtual ~TunerBackend() = default;

  virtual int32_t Initialize() = 0;
  virtual int32_t Uninitialize() = 0;
  virtual int32_t SetMute(bool mute) = 0;
  virtual int32_t SetForceMono(bool mono) = 0;
  // The programme's gain (0 to 1) where the driver carries the sound; a backend whose sound does
  // not pass through the driver has nothing to set. Kept across Initialize.
  virtual void SetVolume(float gain) { static_cast<void>(gain); }
  // Traffic announcements of linked programmes on or off (rds/traffic_follower.h); off during
  // one brings the radio back. A backend without RDS following has nothing to switch.
  virtual int32_t SetTraffic(bool on) {
    traffic_ = on;
    return 0;
  }
  bool traffic() const { return traffic_; }
  // True while the radio plays a linked programme's announcement.
  virtual bool TrafficAway() const { return false; }
  // `frequency` in the plug-in's values (FM hertz, AM kilohertz x 10000).
  virtual int32_t SetFrequency(int32_t frequency) = 0;
  virtual int32_t GetFrequency(int32_t& frequency) = 0;
  virtual int32_t Search(int32_t& frequency, bool up) = 0;
  virtual int32_t StartRds() = 0;
  virtual int32_t StopRds() = 0;
  virtual int32_t GetState(uint8_t& flags) = 0;
  virtual int32_t GetDecoderState(uint32_t& state) = 0;
  virtual int32_t EvalData(RdsRecord& record) = 0;
  // The extended RDS report of the tuned station (rds/extended_report.h); a backend without
  // RDS of its own leaves it empty.
  virtual int32_t ExtendedRds(std::string& report) {
    report.clear();
    return 0;
  }

 private:
  bool traffic_ = false;
};

// radioGetState's flag bits. Only kStateStereo is part of the contract; the others are ours.
inline constexpr uint8_t kStateStation = 0x01;  // a station is received
inline constexpr uint8_t kStateStereo = HALVANE_STATE_STEREO;
inline constexpr uint8_t kStateMuted = 0x04;
inline constexpr uint8_t kStateMonoForced = 0x08;

// The decoder state word: level in bits 0-3, damaged-block count in bits 4-10.
constexpr uint32_t DecoderStateWord(uint32_t level, uint32_t damagedBlocks) {
  return (level & 0x0F) | ((damagedBlocks > 127 ? 127 : damagedBlocks) << 4);
}

}  // namespace halvane::driver

#endif
