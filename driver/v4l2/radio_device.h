// The V4L2 calls the tuner makes, behind one small interface so tests can script a device.
// Every call returns 0 or the errno value the kernel gave.
#ifndef HALVANE_DRIVER_V4L2_RADIO_DEVICE_H
#define HALVANE_DRIVER_V4L2_RADIO_DEVICE_H

#include <linux/videodev2.h>

#include <cstdint>
#include <span>
#include <string>

namespace halvane::driver::v4l2 {

class RadioDevice {
 public:
  virtual ~RadioDevice() = default;

  virtual int Open(const std::string& path) = 0;
  virtual void Close() = 0;

  virtual int QueryCapabilities(v4l2_capability& capabilities) = 0;  // VIDIOC_QUERYCAP
  virtual int GetTuner(v4l2_tuner& tuner) = 0;                       // VIDIOC_G_TUNER
  virtual int SetTuner(const v4l2_tuner& tuner) = 0;                 // VIDIOC_S_TUNER
  virtual int EnumFrequencyBand(v4l2_frequency_band& band) = 0;      // VIDIOC_ENUM_FREQ_BANDS
  virtual int GetFrequency(v4l2_frequency& frequency) = 0;           // VIDIOC_G_FREQUENCY
  virtual int SetFrequency(const v4l2_frequency& frequency) = 0;     // VIDIOC_S_FREQUENCY
  // VIDIOC_S_HW_FREQ_SEEK. Waits until the seek ends: up to the driver's own timeout (5 s on
  // si470x, 20 s on wl128x) when there is nothing to find.
  virtual int SeekHardware(const v4l2_hw_freq_seek& seek) = 0;
  virtual int QueryControl(v4l2_queryctrl& control) = 0;    // VIDIOC_QUERYCTRL
  virtual int GetControl(uint32_t id, int32_t& value) = 0;  // VIDIOC_G_CTRL
  virtual int SetControl(uint32_t id, int32_t value) = 0;   // VIDIOC_S_CTRL
  // A string control (VIDIOC_G_EXT_CTRLS): the bytes before its terminating NUL.
  virtual int GetStringControl(uint32_t id, std::string& value) = 0;

  // Reads whole RDS block records that are already waiting, never waiting for more. `read` is
  // the number of bytes read; EAGAIN (with `read` 0) when nothing is waiting.
  virtual int ReadRds(std::span<uint8_t> buffer, size_t& read) = 0;

  // Lets a freshly tuned channel settle before its signal is read (software seek, checks of
  // alternative frequencies).
  virtual void Settle() = 0;
  // Waits until RDS records are waiting to be read, at most `timeoutMs`.
  virtual void WaitRds(int timeoutMs) = 0;
};

}  // namespace halvane::driver::v4l2

#endif
