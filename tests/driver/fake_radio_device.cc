#include "fake_radio_device.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace halvane::driver::testing_support {
namespace {

// Stations a hardware seek stops on are at least this strong.
constexpr int32_t kSeekSignal = 0x8000;
constexpr int32_t kSeekRssi = 15;

constexpr uint32_t kCommonTunerCaps = V4L2_TUNER_CAP_LOW | V4L2_TUNER_CAP_STEREO |
                                      V4L2_TUNER_CAP_RDS | V4L2_TUNER_CAP_RDS_BLOCK_IO |
                                      V4L2_TUNER_CAP_HWSEEK_BOUNDED | V4L2_TUNER_CAP_HWSEEK_WRAP;

}  // namespace

FakeRadioDevice::FakeRadioDevice(bool low) : personality(Personality::kGeneric) {
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
  AddBand(tuner.rangelow, tuner.rangehigh, tuner.capability, V4L2_BAND_MODULATION_FM);
  frequency = tuner.rangelow;
}

FakeRadioDevice::FakeRadioDevice(Personality kind) : FakeRadioDevice(true) {
  personality = kind;
  if (kind == Personality::kGeneric) return;
  bands.clear();
  tuner.capability = kCommonTunerCaps | V4L2_TUNER_CAP_FREQ_BANDS;
  const char* driver = "";
  switch (kind) {
    case Personality::kVirtualReceiver:
      driver = "vivid";
      tuner.capability |= V4L2_TUNER_CAP_HWSEEK_PROG_LIM;
      AddFmBand(64'000'000, 108'000'000);
      break;
    case Personality::kSi470x:
      driver = "radio-si470x";
      AddFmBand(87'500'000, 108'000'000);
      AddFmBand(76'000'000, 108'000'000);
      AddFmBand(76'000'000, 90'000'000);
      break;
    case Personality::kSi476x:
      driver = "si476x-radio";
      tuner.capability |= V4L2_TUNER_CAP_HWSEEK_PROG_LIM | V4L2_TUNER_CAP_RDS_CONTROLS;
      AddFmBand(64'000'000, 108'000'000);
      break;
    case Personality::kWl128x:
      driver = "ti_fmdrv";
      tuner.capability = kCommonTunerCaps;  // no band list
      break;
    case Personality::kGeneric:
      break;
  }
  std::strcpy(reinterpret_cast<char*>(capabilities.driver), driver);
  // The lowest band's start; wl128x, without a band list, covers the FM band.
  tuner.rangelow = bands.empty() ? Fine(87'500'000) : bands.back().rangelow;
  tuner.rangehigh = Fine(108'000'000);
  frequency = Fine(87'500'000);
}

void FakeRadioDevice::AddBand(uint32_t low, uint32_t high, uint32_t capability,
                              uint32_t modulation) {
  v4l2_frequency_band band{};
  band.type = V4L2_TUNER_RADIO;
  band.index = static_cast<uint32_t>(bands.size());
  band.capability = capability;
  band.rangelow = low;
  band.rangehigh = high;
  band.modulation = modulation;
  bands.push_back(band);
}

void FakeRadioDevice::AddFmBand(int64_t lowHz, int64_t highHz) {
  AddBand(Fine(lowHz), Fine(highHz), tuner.capability, V4L2_BAND_MODULATION_FM);
}

void FakeRadioDevice::AddStation(uint32_t units, int32_t signal, bool stereo) {
  stations_[units] = {signal, stereo};
}

void FakeRadioDevice::AddAmBand() {
  // 1 kHz = 16 units of 62.5 Hz
  AddBand(530 * 16, 1710 * 16, V4L2_TUNER_CAP_LOW, V4L2_BAND_MODULATION_AM);
}

void FakeRadioDevice::QueueRds(const std::vector<uint8_t>& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    const bool status = i % 3 == 2;
    const bool unflagged = personality == Personality::kWl128x;
    rds.push_back(status && unflagged ? bytes[i] & 0x07 : bytes[i]);
  }
}

int32_t FakeRadioDevice::EmptySignal() const {
  return personality == Personality::kSi476x || personality == Personality::kWl128x ? RssiSignal(0)
                                                                                    : 0;
}

bool FakeRadioDevice::ReportsBothSubchannels() const {
  return personality == Personality::kSi476x || personality == Personality::kWl128x;
}

int FakeRadioDevice::Check() {
  if (gone) return ENODEV;
  if (!open) return EBADF;
  if (failAll != 0) return failAll;
  return std::exchange(failNext, 0);
}

int FakeRadioDevice::Open(const std::string&) {
  if (gone) return ENOENT;
  if (openError != 0) return openError;
  open = true;
  ++opens;
  return 0;
}

void FakeRadioDevice::Close() { open = false; }

int FakeRadioDevice::QueryCapabilities(v4l2_capability& out) {
  if (gone) return ENODEV;
  if (!open) return EBADF;
  if (queryError != 0) return queryError;
  out = capabilities;
  return 0;
}

int FakeRadioDevice::GetTuner(v4l2_tuner& out) {
  if (const int error = Check(); error != 0) return error;
  if (out.index != 0) return EINVAL;
  out = tuner;
  out.audmode = audmode;
  const auto station = stations_.find(frequency);
  const bool found = station != stations_.end();
  out.signal = found ? station->second.signal : EmptySignal();
  if (ReportsBothSubchannels()) {
    out.rxsubchans = V4L2_TUNER_SUB_MONO | V4L2_TUNER_SUB_STEREO;
  } else {
    out.rxsubchans = found && station->second.stereo ? V4L2_TUNER_SUB_STEREO : V4L2_TUNER_SUB_MONO;
  }
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
  onAirMs_ = 0;
  return 0;
}

void FakeRadioDevice::Settle() {
  ++settles;
  if (clock != nullptr) clock->Advance(settleMs);
}

void FakeRadioDevice::WaitRds(int timeoutMs) {
  if (clock == nullptr || timeoutMs <= 0) return;
  clock->Advance(timeoutMs);
  const auto pi = piOnAir.find(frequency);
  if (pi == piOnAir.end()) return;
  // A group of 104 bits at 1187.5 bit/s.
  constexpr int64_t kGroupMs = 88;
  for (onAirMs_ += timeoutMs; onAirMs_ >= kGroupMs; onAirMs_ -= kGroupMs) {
    const uint16_t tp = trafficOnAir.count(frequency) != 0 ? 0x0400 : 0;
    const std::array<uint16_t, 4> group = {pi->second, tp, 0xE0CD, 0x2020};
    for (int i = 0; i < 4; ++i) {
      rds.push_back(static_cast<uint8_t>(group[static_cast<size_t>(i)] & 0xFF));
      rds.push_back(static_cast<uint8_t>(group[static_cast<size_t>(i)] >> 8));
      rds.push_back(static_cast<uint8_t>(i));
    }
  }
}

int FakeRadioDevice::GenericSeek(const v4l2_hw_freq_seek& seek) {
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

int FakeRadioDevice::SteppedSeek(const v4l2_hw_freq_seek& seek, uint32_t low, uint32_t high,
                                 uint32_t step) {
  const int32_t wanted = ReportsBothSubchannels() ? RssiSignal(kSeekRssi) : kSeekSignal;
  for (int64_t at = frequency;;) {
    at += seek.seek_upward ? int64_t{step} : -int64_t{step};
    if (at < low || at > high) break;
    const auto station = stations_.find(static_cast<uint32_t>(at));
    if (station != stations_.end() && station->second.signal >= wanted) {
      frequency = static_cast<uint32_t>(at);
      return 0;
    }
  }
  // Nothing found.
  switch (personality) {
    case Personality::kVirtualReceiver:
      return 0;  // and the tuner has not moved
    case Personality::kSi476x:
      frequency = seek.seek_upward ? high : low;
      return ENODATA;
    default:
      frequency = seek.seek_upward ? high : low;
      return 0;
  }
}

int FakeRadioDevice::SeekHardware(const v4l2_hw_freq_seek& seek) {
  if (const int error = Check(); error != 0) return error;
  seeks.push_back(seek);
  if (seekError != 0) return std::exchange(seekError, 0);
  const bool ranged = seek.rangelow != 0 || seek.rangehigh != 0;
  const uint32_t spacing = seek.spacing != 0 ? seek.spacing : 100'000;
  switch (personality) {
    case Personality::kGeneric:
      return GenericSeek(seek);
    case Personality::kVirtualReceiver:
      if (ranged && (seek.rangelow < bands[0].rangelow || seek.rangehigh > bands[0].rangehigh ||
                     seek.rangelow >= seek.rangehigh)) {
        return EINVAL;
      }
      return ranged ? SteppedSeek(seek, seek.rangelow, seek.rangehigh, Fine(spacing))
                    : SteppedSeek(seek, bands[0].rangelow, bands[0].rangehigh, Fine(spacing));
    case Personality::kSi470x: {
      // Only one of its own bands; nothing asked: 76-108 MHz. Its own 50 kHz steps.
      const v4l2_frequency_band* band = &bands[1];
      if (ranged) {
        band = nullptr;
        for (const v4l2_frequency_band& each : bands) {
          if (each.rangelow == seek.rangelow && each.rangehigh == seek.rangehigh) band = &each;
        }
        if (band == nullptr) return EINVAL;
      }
      return SteppedSeek(seek, band->rangelow, band->rangehigh, Fine(50'000));
    }
    case Personality::kSi476x: {
      // The spacing taken as a count of 62.5 Hz units.
      const uint32_t step = seek.spacing != 0 ? seek.spacing : Fine(100'000);
      return ranged ? SteppedSeek(seek, seek.rangelow, seek.rangehigh, step)
                    : SteppedSeek(seek, bands[0].rangelow, bands[0].rangehigh, step);
    }
    case Personality::kWl128x:
      if (ranged) return EINVAL;
      return SteppedSeek(seek, tuner.rangelow, tuner.rangehigh, Fine(spacing));
  }
  return EINVAL;
}

int FakeRadioDevice::QueryControl(v4l2_queryctrl& control) {
  if (const int error = Check(); error != 0) return error;
  const uint32_t id = control.id;
  if (id == V4L2_CID_AUDIO_MUTE ? hasMute : controlsNow.count(id) || stringsNow.count(id)) {
    control.type = stringsNow.count(id) ? V4L2_CTRL_TYPE_STRING : V4L2_CTRL_TYPE_INTEGER;
    return 0;
  }
  return EINVAL;
}

int FakeRadioDevice::GetControl(uint32_t id, int32_t& value) {
  if (const int error = Check(); error != 0) return error;
  const auto found = controlsNow.find(id);
  if (found == controlsNow.end()) return EINVAL;
  value = found->second;
  return 0;
}

int FakeRadioDevice::SetControl(uint32_t id, int32_t value) {
  if (const int error = Check(); error != 0) return error;
  if (id == V4L2_CID_AUDIO_MUTE && !hasMute) return EINVAL;
  controls.emplace_back(id, value);
  return 0;
}

int FakeRadioDevice::GetStringControl(uint32_t id, std::string& value) {
  if (const int error = Check(); error != 0) return error;
  const auto found = stringsNow.find(id);
  if (found == stringsNow.end()) return EINVAL;
  value = found->second;
  return 0;
}

int FakeRadioDevice::ReadRds(std::span<uint8_t> buffer, size_t& read) {
  read = 0;
  if (const int error = Check(); error != 0) return error;
  if (rdsReadError != 0) return rdsReadError;
  if (rds.size() < 3) return EAGAIN;
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
