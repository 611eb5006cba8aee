#include "v4l2/linux_radio_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace halvane::driver::v4l2 {

LinuxRadioDevice::~LinuxRadioDevice() { Close(); }

int LinuxRadioDevice::Open(const std::string& path) {
  Close();
  // Blocking mode: a hardware seek on a non-blocking descriptor only starts and returns EAGAIN.
  // RDS reads poll first, so they never wait.
  fd_ = open(path.c_str(), O_RDWR | O_CLOEXEC);
  return fd_ < 0 ? errno : 0;
}

void LinuxRadioDevice::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
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
  v4l2_hw_freq_seek copy = seek;
  return Ioctl(VIDIOC_S_HW_FREQ_SEEK, &copy);
}

int LinuxRadioDevice::SetControl(uint32_t id, int32_t value) {
  v4l2_control control{};
  control.id = id;
  control.value = value;
  return Ioctl(VIDIOC_S_CTRL, &control);
}

int LinuxRadioDevice::ReadRds(std::span<uint8_t> buffer, size_t& read_bytes) {
  read_bytes = 0;
  if (fd_ < 0) return EBADF;
  pollfd waiting{fd_, POLLIN, 0};
  const int ready = poll(&waiting, 1, 0);
  if (ready < 0) return errno == EINTR ? 0 : errno;
  if (ready == 0) return 0;
  if (waiting.revents & (POLLERR | POLLHUP | POLLNVAL)) return ENODEV;
  const ssize_t got = read(fd_, buffer.data(), buffer.size());
  if (got < 0) return errno == EAGAIN || errno == EINTR ? 0 : errno;
  read_bytes = static_cast<size_t>(got);
  return 0;
}

void LinuxRadioDevice::Settle() { std::this_thread::sleep_for(settle_time_); }

}  // namespace halvane::driver::v4l2
