// The tuner module: start, stop and activation; tuning, stepping and seek; the status poll and
// the RDS record. Every driver call goes through CallDriver with `driverPath`.
#ifndef HALVANE_TUNER_MOD_RADIO_H
#define HALVANE_TUNER_MOD_RADIO_H

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "halvane/band_plan.h"
#include "halvane/driver_contract.h"
#include "tuner/call_driver.h"

namespace halvane {

class Dispatch;
class ModuleContext;

// Band plan, in the plug-in's frequency units (FM 10 kHz, AM kHz): the edges as published to
// hosts, and how the driver and the seek see them.
namespace band {
inline constexpr int32_t kHzPerUnit = 10000;  // the driver's values are ours times this
inline constexpr int32_t kSeekWrapUpHz = 87500000;
inline constexpr int32_t kSeekWrapDownHz = 107900000;
}  // namespace band

// Which way a step or a seek goes along the band.
enum class Direction { kDown, kUp };

inline constexpr const char* kDriverRelativePath = "RadioModules/Halvane/Radio_IO.so";
inline constexpr const char* kLogPrefix = "Halvane---> ";

// The rest of the plug-in as the tuner's start, stop and activation see it: what is loaded once
// the driver is up, and saved whenever the radio goes quiet. The tuner knows nothing else of it.
class RadioStations {
 public:
  // The programme-type names of the chosen standard.
  virtual void LoadNames(bool useRbds) = 0;
  // The preset list; its start frequency, 0 for none.
  virtual int32_t LoadPresets() = 0;
  virtual void SavePresets() = 0;

 protected:
  ~RadioStations() = default;
};

class ModRadio {
 public:
  explicit ModRadio(ModuleContext& context) : c_(context) {}

  // Start, stop, activation, mute.
  void RadioLog(const std::string& message);
  // A line the user must see whatever the log switch says (a list that could not be saved): the
  // whole line, handed to DMLOG as it is.
  void RadioNotice(const std::string& line);
  bool CheckRadio();
  void RadioStart(RadioStations& stations);
  void RadioStop(RadioStations& stations);
  void RadioSetActive(bool state, RadioStations& stations);
  void SetMute(bool state);
  void ToggleMute();

  // Tuning, stepping, seek, mono, list refresh.
  void TuneTo(int32_t F);
  void TuneUp();
  void TuneDown();
  void FineUp();
  void FineDown();
  void SeekUp();
  void SeekDown();
  void SetMono(bool state);
  void ToggleMono();

  // Status poll and RDS accessors.
  void PollStatus();
  bool IsStereo();
  int32_t SignalLevel() const;
  std::string RdsName() const;
  std::string RdsText() const;
  std::string RdsPty() const;
  std::string RdsPi() const;
  bool RdsTA() const;
  bool RdsTP() const;
  bool RdsMS() const;
  // What the station sends beyond the record, by the key of the driver's optional report
  // ("rtplus.artist", "ptyn", "af" ...); empty when not received or the driver has no report.
  std::string RdsExtra(std::string_view key);

  // The module's state, as the tuner left it; only the procedures above change it.
  bool debugEnabled() const { return debugEnabled_; }
  const std::string& driverPath() const { return driverPath_; }
  bool radioReady() const { return radioReady_; }
  bool active() const { return active_; }
  bool muted() const { return muted_; }
  bool useRbds() const { return useRbds_; }
  int32_t currentFreq() const { return currentFreq_; }
  bool mono() const { return mono_; }
  const RdsRecord& rdsData() const { return rdsData_; }
  bool rdsValid() const { return rdsValid_; }
  int16_t decoderLevel() const { return decoderLevel_; }

 private:
  void FineStep(Direction direction);
  int32_t Call(const char* function, std::initializer_list<DriverArg> args);
  void RdsOff();
  void RdsOn();
  void Seek(bool up, int32_t wrapHz);
  bool RdsShown() const { return radioReady_ && rdsValid_; }
  bool AllowAllFrequencies();
  void ReadExtras();

  ModuleContext& c_;
  bool debugEnabled_ = false;
  std::string driverPath_;
  bool radioReady_ = false;
  bool active_ = false;
  bool muted_ = false;
  bool useRbds_ = false;
  int32_t currentFreq_ = 0;
  bool mono_ = false;
  RdsRecord rdsData_{};
  bool rdsValid_ = false;
  int16_t decoderLevel_ = 0;
  uint64_t pollCount_ = 0;   // status ticks so far
  uint64_t extrasPoll_ = 0;  // the tick whose report `extras_` holds
  bool extrasRead_ = false;
  std::string extras_;  // the report, each line after a line feed
};

}  // namespace halvane

#endif
