// A V4L2 radio device node (/dev/radioN), opened non-blocking: several kernel drivers answer poll()
// wrongly (always readable, or readable only when empty) and then wait in read() for blocks that
// may never come, so reads rely on EAGAIN alone.
#ifndef HALVANE_DRIVER_V4L2_LINUX_RADIO_DEVICE_H
#define HALVANE_DRIVER_V4L2_LINUX_RADIO_DEVICE_H

#include <chrono>

#include "v4l2/radio_device.h"

namespace halvane::driver::v4l2 {

class LinuxRadioDevice final : public RadioDevice {
 public:
  explicit LinuxRadioDevice(std::chrono::milliseconds settleTime) : settleTime_(settleTime) {}
  ~LinuxRadioDevice() override;

  int Open(const std::string& path) override;
  // Takes over an open descriptor (made non-blocking), as Open would the opened node.
  int Adopt(int fd);
  void Close() override;
  int QueryCapabilities(v4l2_capability& capabilities) override;
  int GetTuner(v4l2_tuner& tuner) override;
  int SetTuner(const v4l2_tuner& tuner) override;
  int EnumFrequencyBand(v4l2_frequency_band& band) override;
  int GetFrequency(v4l2_frequency& frequency) override;
  int SetFrequency(const v4l2_frequency& frequency) override;
  int SeekHardware(const v4l2_hw_freq_seek& seek) override;
  int QueryControl(v4l2_queryctrl& control) override;
  int GetControl(uint32_t id, int32_t& value) override;
  int SetControl(uint32_t id, int32_t value) override;
  int GetStringControl(uint32_t id, std::string& value) override;
  int ReadRds(std::span<uint8_t> buffer, size_t& read) override;
  void Settle() override;
  void WaitRds(int timeoutMs) override;

 private:
  int Ioctl(unsigned long request, void* argument);
  int SetNonBlocking(bool on);

  int fd_ = -1;
  std::chrono::milliseconds settleTime_;
};

}  // namespace halvane::driver::v4l2

#endif
