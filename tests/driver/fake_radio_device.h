// A scripted V4L2 radio device: the test sets its capabilities, bands, stations and RDS blocks,
// and reads back what the tuner asked of it.
#ifndef HALVANE_TESTS_DRIVER_FAKE_RADIO_DEVICE_H
#define HALVANE_TESTS_DRIVER_FAKE_RADIO_DEVICE_H

#include <deque>
#include <map>
#include <vector>

#include "v4l2/radio_device.h"

namespace halvane::driver::testing_support {

class FakeRadioDevice final : public v4l2::RadioDevice {
 public:
  // An FM tuner with RDS and hardware seek; `low` selects 62.5 Hz units instead of 62.5 kHz.
  explicit FakeRadioDevice(bool low);

  // A station in the device's units: its signal (0..65535) and whether it is stereo.
  void AddStation(uint32_t units, int32_t signal, bool stereo = true);
  void AddAmBand();  // 530..1710 kHz in 62.5 Hz units
  void QueueRds(const std::vector<uint8_t>& bytes);

  // Script.
  int open_error = 0;
  int query_error = 0;
  int seek_error = 0;    // returned by the next hardware seek instead of seeking
  bool has_mute = true;  // without: VIDIOC_S_CTRL answers EINVAL
  bool gone = false;     // unplugged: every call fails with ENODEV
  v4l2_capability capabilities{};
  v4l2_tuner
      tuner{};  // name, type, capability, range; signal and subchannels come from the station
  std::vector<v4l2_frequency_band> bands;

  // State and record of calls.
  bool open = false;
  int opens = 0;
  uint32_t frequency = 0;
  uint32_t audmode = V4L2_TUNER_MODE_STEREO;
  std::vector<uint32_t> tuned;  // every VIDIOC_S_FREQUENCY
  std::vector<v4l2_hw_freq_seek> seeks;
  std::vector<std::pair<uint32_t, int32_t>> controls;
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
  int SetControl(uint32_t id, int32_t value) override;
  int ReadRds(std::span<uint8_t> buffer, size_t& read) override;
  void Settle() override { ++settles; }

 private:
  int Check() const;

  struct Station {
    int32_t signal;
    bool stereo;
  };
  std::map<uint32_t, Station> stations_;
};

}  // namespace halvane::driver::testing_support

#endif
