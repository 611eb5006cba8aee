#include "v4l2/v4l2_tuner.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "frequency.h"
#include "last_reason.h"
#include "result_codes.h"

namespace halvane::driver::v4l2 {
namespace {

// Devices list a handful of bands at most; the limit only guards against one that never stops.
constexpr uint32_t kMaxBands = 16;
constexpr int64_t kFmLowHz = kFmRaster.low;
constexpr int64_t kFmHighHz = kFmRaster.high;
constexpr int64_t kAmLowKhz = kAmRaster.low / 10'000;
constexpr int64_t kAmHighKhz = kAmRaster.high / 10'000;

// What a call fails with when the device itself is gone (unplugged) or its bus failed.
bool MayBeGone(int error) { return error == ENODEV || error == ENXIO || error == EIO; }

int32_t OpenFailure(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return kNoDevice;
    case EBUSY:
      return kDeviceBusy;
    case EACCES:
    case EPERM:
      return kNoPermission;
    default:
      return kDeviceError;
  }
}

// The hertz of a plug-in value's band edges, for choosing among a device's bands.
int64_t RasterDistance(const Raster& raster, int64_t lowHz, int64_t highHz) {
  const int64_t rasterLow = Frequency(raster.low).Hertz();
  const int64_t rasterHigh = Frequency(raster.high).Hertz();
  return std::abs(lowHz - rasterLow) + std::abs(highHz - rasterHigh);
}

}  // namespace

V4l2Tuner::V4l2Tuner(std::unique_ptr<RadioDevice> device, V4l2Options options,
                     const DriverClock& clock, std::function<int64_t()> wallMs)
    : device_(std::move(device)),
      options_(std::move(options)),
      clock_(clock),
      follower_(std::move(wallMs)) {
  follower_.SetEnabled(options_.followAlternatives);
}

int32_t V4l2Tuner::Refuse(int32_t code, std::string_view why) {
  SetLastReason(options_.devicePath + ": " + std::string(why));
  return code;
}

int32_t V4l2Tuner::Failure(int error, std::string_view doing) {
  int32_t code = error == EBUSY || error == EAGAIN ? kDeviceBusy : kDeviceError;
  std::string reason = std::string(doing) + ": " + std::strerror(error);
  if (MayBeGone(error)) {
    v4l2_capability capabilities{};
    const int check = device_->QueryCapabilities(capabilities);
    if (check == ENODEV || check == ENXIO) {
      lost_ = true;
      code = kDeviceLost;
      reason += "; the device is gone (stop and start the radio once it is back)";
    }
  }
  return Refuse(code, reason);
}

int32_t V4l2Tuner::Ready() {
  if (!initialized_) return Refuse(kNotInitialized, "the tuner is not open (start the radio)");
  if (lost_) {
    return Refuse(kDeviceLost, "the device is gone (stop and start the radio once it is back)");
  }
  return kOk;
}

int32_t V4l2Tuner::Initialize() {
  if (initialized_ && !lost_) return kOk;
  device_->Close();
  initialized_ = false;
  lost_ = false;
  const int32_t result = OpenAndCheck();
  if (result != kOk) {
    device_->Close();
    return result;
  }
  initialized_ = true;
  rdsRunning_ = false;
  tuned_.reset();
  noiseFloor_.Reset();
  noiseProbes_ = 0;
  if (const int32_t reset = ResetRds(); reset != kOk) return reset;
  // Forced mono outlives a stop and start of the radio, as the plug-in does not send it again;
  // a tuner that refuses it still plays.
  if (mono_) SetForceMono(true);
  ClearLastReason();
  return kOk;
}

int32_t V4l2Tuner::OpenAndCheck() {
  if (const int error = device_->Open(options_.devicePath); error != 0) {
    return Refuse(OpenFailure(error), std::string("cannot open: ") + std::strerror(error));
  }
  v4l2_capability capabilities{};
  if (const int error = device_->QueryCapabilities(capabilities); error != 0) {
    if (error == ENOTTY || error == EINVAL) return Refuse(kNotRadio, "not a V4L2 device");
    return Refuse(OpenFailure(error), std::string("cannot query: ") + std::strerror(error));
  }
  const uint32_t caps = (capabilities.capabilities & V4L2_CAP_DEVICE_CAPS)
                            ? capabilities.device_caps
                            : capabilities.capabilities;
  if (!(caps & V4L2_CAP_RADIO) || !(caps & V4L2_CAP_TUNER)) {
    return Refuse(kNotRadio, "not a radio tuner (no radio and tuner capabilities)");
  }
  quirks_ = QuirksOf(capabilities);

  v4l2_tuner tuner{};
  tuner.index = 0;
  if (const int error = device_->GetTuner(tuner); error != 0) {
    if (error == EINVAL || error == ENOTTY) return Refuse(kNotRadio, "has no tuner");
    return Refuse(OpenFailure(error),
                  std::string("cannot read the tuner: ") + std::strerror(error));
  }
  if (tuner.type != V4L2_TUNER_RADIO) return Refuse(kNotRadio, "its tuner is no radio tuner");
  tunerCapability_ = tuner.capability;
  hardwareSeek_ = (caps & V4L2_CAP_HW_FREQ_SEEK) ||
                  (tuner.capability & (V4L2_TUNER_CAP_HWSEEK_BOUNDED | V4L2_TUNER_CAP_HWSEEK_WRAP));
  // Blocks are read only from a device that says read() gives them.
  if ((caps & V4L2_CAP_RDS_CAPTURE) && (tuner.capability & V4L2_TUNER_CAP_RDS_BLOCK_IO)) {
    rdsSource_ = RdsSource::Blocks;
  } else if (tuner.capability & V4L2_TUNER_CAP_RDS_CONTROLS) {
    rdsSource_ = RdsSource::Controls;
  } else {
    rdsSource_ = RdsSource::None;
  }
  // A device without a mute control answers EINVAL here; one that has it may still answer
  // EINVAL later, for a failure on its bus (si470x-usb).
  v4l2_queryctrl mute{};
  mute.id = V4L2_CID_AUDIO_MUTE;
  const int muteError = device_->QueryControl(mute);
  hasMute_ = muteError == 0 ? !(mute.flags & V4L2_CTRL_FLAG_DISABLED)
                            : muteError != EINVAL && muteError != ENOTTY;
  ReadBands(tuner);
  if (bands_.empty()) return Refuse(kNotRadio, "its tuner lists no band");
  return kOk;
}

void V4l2Tuner::ReadBands(const v4l2_tuner& tuner) {
  bands_.clear();
  for (uint32_t index = 0; index < kMaxBands; ++index) {
    v4l2_frequency_band band{};
    band.tuner = 0;
    band.type = V4L2_TUNER_RADIO;
    band.index = index;
    if (device_->EnumFrequencyBand(band) != 0) break;
    const TunerUnit unit = UnitOf(band.capability);
    if (band.modulation & V4L2_BAND_MODULATION_FM) {
      bands_.push_back({false, true, band.rangelow, band.rangehigh, unit});
    }
    if (band.modulation & V4L2_BAND_MODULATION_AM) {
      bands_.push_back({true, true, band.rangelow, band.rangehigh, unit});
    }
  }
  // A device that cannot list its bands has one: an FM band over the tuner's range.
  if (bands_.empty() && tuner.rangehigh > tuner.rangelow) {
    bands_.push_back({false, false, tuner.rangelow, tuner.rangehigh, UnitOf(tuner.capability)});
  }
}

int32_t V4l2Tuner::Uninitialize() {
  if (!initialized_) return Refuse(kNotInitialized, "the tuner is not open");
  device_->Close();
  initialized_ = false;
  lost_ = false;
  rdsRunning_ = false;
  return kOk;
}

int32_t V4l2Tuner::SetMute(bool mute) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  // A tuner without a mute control plays through another path the user mutes there.
  if (hasMute_) {
    if (const int error = device_->SetControl(V4L2_CID_AUDIO_MUTE, mute ? 1 : 0); error != 0) {
      return Failure(error, mute ? "muting" : "unmuting");
    }
  }
  muted_ = mute;
  return kOk;
}

int32_t V4l2Tuner::SetForceMono(bool mono) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  mono_ = mono;
  v4l2_tuner tuner{};
  if (const int32_t result = ReadTuner(tuner); result != kOk) return result;
  tuner.audmode = mono ? V4L2_TUNER_MODE_MONO : V4L2_TUNER_MODE_STEREO;
  if (const int error = device_->SetTuner(tuner); error != 0) {
    return Failure(error, "setting the audio mode");
  }
  return kOk;
}

const V4l2Tuner::DeviceBand* V4l2Tuner::BandFor(int32_t value) const {
  // Of the device's bands that hold the value, the one closest to the plug-in's band: si470x
  // lists 87.5-108, 76-108 and 76-90 MHz.
  const Frequency frequency(value);
  const bool am = frequency.IsAm();
  const Raster& raster = frequency.raster();
  const int64_t hertz = frequency.Hertz();
  const DeviceBand* best = nullptr;
  int64_t bestDistance = 0;
  for (const DeviceBand& band : bands_) {
    if (band.am != am) continue;
    const std::optional<uint32_t> units = HertzToUnits(hertz, band.unit);
    if (!units || *units < band.low || *units > band.high) continue;
    const int64_t distance = RasterDistance(raster, UnitsToHertz(band.low, band.unit),
                                            UnitsToHertz(band.high, band.unit));
    if (best == nullptr || distance < bestDistance) {
      best = &band;
      bestDistance = distance;
    }
  }
  return best;
}

int32_t V4l2Tuner::Tune(int32_t value, bool sameProgramme) {
  const DeviceBand* band = BandFor(value);
  if (band == nullptr) {
    return Refuse(kOutOfBand, std::to_string(Frequency(value).Hertz()) +
                                  " Hz is outside every band of the tuner");
  }
  v4l2_frequency frequency{};
  frequency.tuner = 0;
  frequency.type = V4L2_TUNER_RADIO;
  frequency.frequency = *HertzToUnits(Frequency(value).Hertz(), band->unit);
  if (const int error = device_->SetFrequency(frequency); error != 0) {
    return Failure(error, "tuning");
  }
  tuned_ = Tuned{value, frequency.frequency};
  amTuned_ = band->am;
  return ResetRds(sameProgramme);
}

int32_t V4l2Tuner::SetFrequency(int32_t frequency) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  follower_.Tuned(clock_.NowMs());  // the user's choice: follow whatever programme is there
  traffic_.Tuned();
  return Tune(frequency);
}

int32_t V4l2Tuner::ReadTuner(v4l2_tuner& tuner) {
  tuner = v4l2_tuner{};
  tuner.index = 0;
  if (const int error = device_->GetTuner(tuner); error != 0) {
    return Failure(error, "reading the tuner");
  }
  return kOk;
}

int32_t V4l2Tuner::ValueOfUnits(uint32_t units) const {
  if (tuned_ && tuned_->units == units) return tuned_->value;
  // Which band the units fall in decides FM or AM; the device's own first band otherwise.
  const DeviceBand* found = &bands_.front();
  for (const DeviceBand& band : bands_) {
    if (units >= band.low && units <= band.high) {
      found = &band;
      break;
    }
  }
  const int64_t hertz = UnitsToHertz(units, found->unit);
  if (found->am) {
    const int64_t khz = std::clamp<int64_t>((hertz + 500) / 1000, kAmLowKhz, kAmHighKhz);
    return static_cast<int32_t>(khz * 10'000);
  }
  // Coarse units cannot tell channels closer than 62.5 kHz apart: such a reading is taken to the
  // 100 kHz raster. Finer units are exact to the plug-in's 10 kHz.
  const int64_t step = found->unit == TunerUnit::SixteenthMhz ? 100'000 : 10'000;
  const int64_t snapped = (hertz + step / 2) / step * step;
  return static_cast<int32_t>(std::clamp(snapped, kFmLowHz, kFmHighHz));
}

int32_t V4l2Tuner::ReadFrequency(int32_t& value) {
  v4l2_frequency frequency{};
  frequency.tuner = 0;
  if (const int error = device_->GetFrequency(frequency); error != 0) {
    return Failure(error, "reading the frequency");
  }
  value = ValueOfUnits(frequency.frequency);
  return kOk;
}

int32_t V4l2Tuner::GetFrequency(int32_t& frequency) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  int32_t value = 0;
  if (const int32_t result = ReadFrequency(value); result != kOk) return result;
  frequency = value;
  return kOk;
}

int V4l2Tuner::LevelOf(const v4l2_tuner& tuner) const {
  // signal: 0 none .. 65535 strongest; level: 0 strongest .. 15 none.
  return noiseFloor_.LevelOf(static_cast<uint32_t>(std::clamp<int32_t>(tuner.signal, 0, 65535)));
}

int32_t V4l2Tuner::GetState(uint8_t& flags) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  v4l2_tuner tuner{};
  if (const int32_t result = ReadTuner(tuner); result != kOk) return result;
  const bool station = LevelOf(tuner) <= options_.seekThreshold;
  // si476x and wl128x always say MONO|STEREO: they cannot tell, so that is no stereo.
  const bool stereo = (tuner.rxsubchans & V4L2_TUNER_SUB_STEREO) &&
                      !(tuner.rxsubchans & V4L2_TUNER_SUB_MONO) && !amTuned_;
  flags = (station ? kStateStation : 0) | (stereo && !mono_ ? kStateStereo : 0) |
          (muted_ ? kStateMuted : 0) | (mono_ ? kStateMonoForced : 0);
  return kOk;
}

}  // namespace halvane::driver::v4l2
