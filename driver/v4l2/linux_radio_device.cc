#include "v4l2/linux_radio_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <thread>

namespace halvane::driver::v4l2 {
namespace {

// Longer than any RDS string control (RadioText: 64 characters).
constexpr size_t kStringControlSize = 256;

}  // namespace

LinuxRadioDevice::~LinuxRadioDevice() { Close(); }

int LinuxRadioDevice::Open(const std::string& path) {
  Close();
  fd_ = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  return fd_ < 0 ? errno : 0;
}

int LinuxRadioDevice::Adopt(int fd) {
  Close();
  fd_ = fd;
  return SetNonBlocking(true);
}

void LinuxRadioDevice::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

int LinuxRadioDevice::SetNonBlocking(bool on) {
  const int flags = fcntl(fd_, F_GETFL);
  if (flags < 0) return errno;
  const int wanted = on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK;
  if (wanted != flags && fcntl(fd_, F_SETFL, wanted) < 0) return errno;
  return 0;
}

int LinuxRadioDevice::Ioctl(unsigned long request, void* argument) {
  if (fd_ < 0) return EBADF;
  int result;
  do {
    result = ioctl(fd_, request, argument);
  } while (result < 0 && errno == EINTR);
  return result < 0 ? errno : 0;
}

int LinuxRadioDevice::QueryCapabilities(v4l2_capability& capabilities) {
  return Ioctl(VIDIOC_QUERYCAP, &capabilities);
}

int LinuxRadioDevice::GetTuner(v4l2_tuner& tuner) { return Ioctl(VIDIOC_G_TUNER, &tuner); }

int LinuxRadioDevice::SetTuner(const v4l2_tuner& tuner) {
  v4l2_tuner copy = tuner;
  return Ioctl(VIDIOC_S_TUNER, &copy);
}

int LinuxRadioDevice::EnumFrequencyBand(v4l2_frequency_band& band) {
  return Ioctl(VIDIOC_ENUM_FREQ_BANDS, &band);
}

int LinuxRadioDevice::GetFrequency(v4l2_frequency& frequency) {
  return Ioctl(VIDIOC_G_FREQUENCY, &frequency);
}

int LinuxRadioDevice::SetFrequency(const v4l2_frequency& frequency) {
  v4l2_frequency copy = frequency;
  return Ioctl(VIDIOC_S_FREQUENCY, &copy);
}

int LinuxRadioDevice::SeekHardware(const v4l2_hw_freq_seek& seek) {
  if (fd_ < 0) return EBADF;
  // On a non-blocking handle the drivers only start the seek and answer EAGAIN, so this one call
  // waits; the handle is non-blocking again whatever came of it.
  if (const int error = SetNonBlocking(false); error != 0) return error;
  v4l2_hw_freq_seek copy = seek;
  const int result = Ioctl(VIDIOC_S_HW_FREQ_SEEK, &copy);
  const int restored = SetNonBlocking(true);
  return result != 0 ? result : restored;
}

int LinuxRadioDevice::QueryControl(v4l2_queryctrl& control) {
  return Ioctl(VIDIOC_QUERYCTRL, &control);
}

int LinuxRadioDevice::GetControl(uint32_t id, int32_t& value) {
  v4l2_control control{};
  control.id = id;
  const int error = Ioctl(VIDIOC_G_CTRL, &control);
  if (error == 0) value = control.value;
  return error;
}

int LinuxRadioDevice::SetControl(uint32_t id, int32_t value) {
  v4l2_control control{};
  control.id = id;
  control.value = value;
  return Ioctl(VIDIOC_S_CTRL, &control);
}

int LinuxRadioDevice::GetStringControl(uint32_t id, std::string& value) {
  std::array<char, kStringControlSize> text{};
  v4l2_ext_control control{};
  control.id = id;
  control.size = text.size();
  control.string = text.data();
  v4l2_ext_controls controls{};
  controls.which = V4L2_CTRL_ID2WHICH(id);
  controls.count = 1;
  controls.controls = &control;
  const int error = Ioctl(VIDIOC_G_EXT_CTRLS, &controls);
  if (error != 0) return error;
  text.back() = '\0';
  value = text.data();
  return 0;
}

int LinuxRadioDevice::ReadRds(std::span<uint8_t> buffer, size_t& readBytes) {
  readBytes = 0;
  if (fd_ < 0) return EBADF;
  ssize_t got;
  do {
    got = read(fd_, buffer.data(), buffer.size());
  } while (got < 0 && errno == EINTR);
  if (got < 0) return errno == EWOULDBLOCK ? EAGAIN : errno;
  readBytes = static_cast<size_t>(got);
  return 0;
}

void LinuxRadioDevice::Settle() { std::this_thread::sleep_for(settleTime_); }

void LinuxRadioDevice::WaitRds(int timeoutMs) {
  if (fd_ < 0) return;
  pollfd waiting{fd_, POLLIN | POLLRDNORM, 0};
  // An interrupted wait ends early; the caller looks at what arrived and at its clock.
  poll(&waiting, 1, timeoutMs);
}

}  // namespace halvane::driver::v4l2
