#include "fake_radio_device.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace halvane::driver::testing_support {

// Stations a hardware seek stops on are at least this strong.
constexpr int32_t kSeekSignal = 0x8000;

FakeRadioDevice::FakeRadioDevice(bool low) {
  std::strcpy(reinterpret_cast<char*>(capabilities.driver), "fake");
  capabilities.capabilities = V4L2_CAP_RADIO | V4L2_CAP_TUNER | V4L2_CAP_RDS_CAPTURE |
                              V4L2_CAP_HW_FREQ_SEEK | V4L2_CAP_READWRITE;
  tuner.type = V4L2_TUNER_RADIO;
  tuner.capability = V4L2_TUNER_CAP_STEREO | V4L2_TUNER_CAP_RDS | V4L2_TUNER_CAP_RDS_BLOCK_IO |
                     V4L2_TUNER_CAP_HWSEEK_BOUNDED | V4L2_TUNER_CAP_FREQ_BANDS |
                     (low ? V4L2_TUNER_CAP_LOW : 0);
  // 87.5..108 MHz
  tuner.rangelow = low ? 1'400'000 : 1400;
  tuner.rangehigh = low ? 1'728'000 : 1728;
  v4l2_frequency_band fm{};
  fm.type = V4L2_TUNER_RADIO;
  fm.capability = tuner.capability;
  fm.rangelow = tuner.rangelow;
  fm.rangehigh = tuner.rangehigh;
  fm.modulation = V4L2_BAND_MODULATION_FM;
  bands.push_back(fm);
  frequency = tuner.rangelow;
}

void FakeRadioDevice::AddStation(uint32_t units, int32_t signal, bool stereo) {
  stations_[units] = {signal, stereo};
}

void FakeRadioDevice::AddAmBand() {
  v4l2_frequency_band am{};
  am.type = V4L2_TUNER_RADIO;
  am.index = static_cast<uint32_t>(bands.size());
  am.capability = V4L2_TUNER_CAP_LOW;
  am.rangelow = 530 * 16;  // 1 kHz = 16 units of 62.5 Hz
  am.rangehigh = 1710 * 16;
  am.modulation = V4L2_BAND_MODULATION_AM;
  bands.push_back(am);
}

void FakeRadioDevice::QueueRds(const std::vector<uint8_t>& bytes) {
  rds.insert(rds.end(), bytes.begin(), bytes.end());
}

int FakeRadioDevice::Check() const {
  if (gone) return ENODEV;
  return open ? 0 : EBADF;
}

int FakeRadioDevice::Open(const std::string&) {
  if (gone) return ENOENT;
  if (open_error != 0) return open_error;
  open = true;
  ++opens;
  return 0;
}

void FakeRadioDevice::Close() { open = false; }

int FakeRadioDevice::QueryCapabilities(v4l2_capability& out) {
  if (const int error = Check(); error != 0) return error;
  if (query_error != 0) return query_error;
  out = capabilities;
  return 0;
}

int FakeRadioDevice::GetTuner(v4l2_tuner& out) {
  if (const int error = Check(); error != 0) return error;
  if (out.index != 0) return EINVAL;
  out = tuner;
  out.audmode = audmode;
  const auto station = stations_.find(frequency);
  out.signal = station == stations_.end() ? 0 : station->second.signal;
  out.rxsubchans = station != stations_.end() && station->second.stereo ? V4L2_TUNER_SUB_STEREO
                                                                        : V4L2_TUNER_SUB_MONO;
  return 0;
}

int FakeRadioDevice::SetTuner(const v4l2_tuner& in) {
  if (const int error = Check(); error != 0) return error;
  audmode = in.audmode;
  return 0;
}

int FakeRadioDevice::EnumFrequencyBand(v4l2_frequency_band& band) {
  if (const int error = Check(); error != 0) return error;
  if (band.index >= bands.size()) return EINVAL;
  band = bands[band.index];
  return 0;
}

int FakeRadioDevice::GetFrequency(v4l2_frequency& out) {
  if (const int error = Check(); error != 0) return error;
  out.type = V4L2_TUNER_RADIO;
  out.frequency = frequency;
  return 0;
}

int FakeRadioDevice::SetFrequency(const v4l2_frequency& in) {
  if (const int error = Check(); error != 0) return error;
  frequency = in.frequency;
  tuned.push_back(in.frequency);
  return 0;
}

int FakeRadioDevice::SeekHardware(const v4l2_hw_freq_seek& seek) {
  if (const int error = Check(); error != 0) return error;
  seeks.push_back(seek);
  if (seek_error != 0) return std::exchange(seek_error, 0);
  if (seek.seek_upward) {
    for (auto it = stations_.upper_bound(frequency); it != stations_.end(); ++it) {
      if (it->second.signal >= kSeekSignal && it->first <= tuner.rangehigh) {
        frequency = it->first;
        return 0;
      }
    }
  } else {
    for (auto it = stations_.lower_bound(frequency); it != stations_.begin();) {
      --it;
      if (it->second.signal >= kSeekSignal && it->first >= tuner.rangelow) {
        frequency = it->first;
        return 0;
      }
    }
  }
  return ENODATA;
}

int FakeRadioDevice::SetControl(uint32_t id, int32_t value) {
  if (const int error = Check(); error != 0) return error;
  if (!has_mute) return EINVAL;
  controls.emplace_back(id, value);
  return 0;
}

int FakeRadioDevice::ReadRds(std::span<uint8_t> buffer, size_t& read) {
  read = 0;
  if (const int error = Check(); error != 0) return error;
  // Whole records only, as the kernel hands them out.
  while (read + 3 <= buffer.size() && rds.size() >= 3) {
    for (int i = 0; i < 3; ++i) {
      buffer[read++] = rds.front();
      rds.pop_front();
    }
  }
  return 0;
}

}  // namespace halvane::driver::testing_support
