// A scripted V4L2 radio device: the test sets its capabilities, bands, stations and RDS blocks,
// and reads back what the tuner asked of it. Besides a kind, generic device it copies the
// documented behaviour of the kernel's radio drivers, one personality each.
#ifndef HALVANE_TESTS_DRIVER_FAKE_RADIO_DEVICE_H
#define HALVANE_TESTS_DRIVER_FAKE_RADIO_DEVICE_H

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "driver_clock.h"
#include "v4l2/radio_device.h"

namespace halvane::driver::testing_support {

enum class Personality {
  // FM 87.5-108 MHz, seeks the stations it has and answers ENODATA when there is none.
  kGeneric,
  // vivid's radio receiver: FM 64-108 MHz, programmable seek limits; a seek that finds nothing
  // returns 0 without moving.
  kVirtualReceiver,
  // si470x (USB and I2C): bands 87.5-108, 76-108 and 76-90 MHz; a seek range must be one of
  // them (0/0 means 76-108); spacing ignored, 50 kHz steps; nothing found: 0 at the range's end.
  kSi470x,
  // si476x: FM 64-108 MHz, programmable limits, spacing read in 62.5 Hz units; signal
  // (rssi + 128) x 257; subchannels always MONO|STEREO; RDS blocks or RDS controls.
  kSi476x,
  // wl128x: FM 87.5-108 MHz without band list; a seek that finds nothing returns 0 on the edge;
  // signal and subchannels as si476x; block error flags never set, E blocks as position 4.
  kWl128x,
};

class FakeRadioDevice final : public v4l2::RadioDevice {
 public:
  // A generic FM tuner with RDS and hardware seek; `low` selects 62.5 Hz units, else 62.5 kHz.
  explicit FakeRadioDevice(bool low);
  explicit FakeRadioDevice(Personality personality);

  // Units of 62.5 Hz (every personality but a generic coarse one) for a frequency in hertz.
  static constexpr uint32_t Fine(int64_t hz) { return static_cast<uint32_t>(hz * 2 / 125); }
  // The signal si476x and wl128x report for a received strength in dBuV.
  static constexpr int32_t RssiSignal(int rssi) { return (rssi + 128) * 257; }

  // A station in the device's units: its signal (0..65535) and whether it is stereo.
  void AddStation(uint32_t units, int32_t signal, bool stereo = true);
  void AddAmBand();  // 530..1710 kHz in 62.5 Hz units
  // Block records; a device that never flags errors loses their flags on the way.
  void QueueRds(const std::vector<uint8_t>& bytes);

  // Script.
  Personality personality;
  int openError = 0;
  int queryError = 0;
  int seekError = 0;     // returned by the next hardware seek instead of seeking
  bool hasMute = true;   // without: no mute control (VIDIOC_QUERYCTRL and _S_CTRL: EINVAL)
  bool gone = false;     // unplugged: every call fails with ENODEV
  int failNext = 0;      // the next call (of any kind but QUERYCAP) fails with this, once
  int failAll = 0;       // every call but QUERYCAP fails with this (si470x-usb: EINVAL)
  int rdsReadError = 0;  // read() fails with this (EBUSY, EINVAL)
  std::map<uint32_t, int32_t> controlsNow;     // integer controls the device answers
  std::map<uint32_t, std::string> stringsNow;  // string controls the device answers
  // Time on the air: with a clock, settling moves it on by `settleMs` and a wait for RDS by the
  // time waited, during which a station of `piOnAir` sends a 0A group every 88 ms from tuning.
  DriverClock* clock = nullptr;
  int settleMs = 20;
  std::map<uint32_t, uint16_t> piOnAir;
  std::set<uint32_t> trafficOnAir;  // stations of piOnAir whose groups set TP
  v4l2_capability capabilities{};
  v4l2_tuner tuner{};  // name, type, capability, range; signal and subchannels from the station
  std::vector<v4l2_frequency_band> bands;

  // State and record of calls.
  bool open = false;
  int opens = 0;
  uint32_t frequency = 0;
  uint32_t audmode = V4L2_TUNER_MODE_STEREO;
  std::vector<uint32_t> tuned;  // every VIDIOC_S_FREQUENCY
  std::vector<v4l2_hw_freq_seek> seeks;
  std::vector<std::pair<uint32_t, int32_t>> controls;  // every VIDIOC_S_CTRL
  int settles = 0;
  std::deque<uint8_t> rds;

  int Open(const std::string& path) override;
  void Close() override;
  int QueryCapabilities(v4l2_capability& out) override;
  int GetTuner(v4l2_tuner& out) override;
  int SetTuner(const v4l2_tuner& in) override;
  int EnumFrequencyBand(v4l2_frequency_band& band) override;
  int GetFrequency(v4l2_frequency& out) override;
  int SetFrequency(const v4l2_frequency& in) override;
  int SeekHardware(const v4l2_hw_freq_seek& seek) override;
  int QueryControl(v4l2_queryctrl& control) override;
  int GetControl(uint32_t id, int32_t& value) override;
  int SetControl(uint32_t id, int32_t value) override;
  int GetStringControl(uint32_t id, std::string& value) override;
  int ReadRds(std::span<uint8_t> buffer, size_t& read) override;
  void Settle() override;
  void WaitRds(int timeoutMs) override;

 private:
  struct Station {
    int32_t signal;
    bool stereo;
  };

  int Check();
  void AddBand(uint32_t low, uint32_t high, uint32_t capability, uint32_t modulation);
  void AddFmBand(int64_t lowHz, int64_t highHz);
  int GenericSeek(const v4l2_hw_freq_seek& seek);
  // Steps from the tuned frequency through [low, high] by `step` units.
  int SteppedSeek(const v4l2_hw_freq_seek& seek, uint32_t low, uint32_t high, uint32_t step);
  int32_t EmptySignal() const;
  bool ReportsBothSubchannels() const;

  std::map<uint32_t, Station> stations_;
  int64_t onAirMs_ = 0;  // since the last tune, towards the next group
};

}  // namespace halvane::driver::testing_support

#endif
