#include "v4l2/v4l2_tuner.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "band/frequency.h"
#include "rds/record_writer.h"
#include "result_codes.h"

namespace halvane::driver::v4l2 {
namespace {

// Devices list a handful of bands at most; the limit only guards against one that never stops.
constexpr uint32_t kMaxBands = 16;
// One call reads at most this many records, so a flood of RDS never holds up the caller.
constexpr size_t kRecordsPerRead = 128;
constexpr int kMaxReadsPerCall = 4;
// Seek spacing in hertz: the FM raster and the AM raster.
constexpr uint32_t kFmSpacingHz = 100'000;
constexpr uint32_t kAmSpacingHz = 10'000;
constexpr int64_t kFmLowHz = band::kFmRaster.low;
constexpr int64_t kFmHighHz = band::kFmRaster.high;
constexpr int64_t kAmLowKhz = band::kAmRaster.low / 10'000;
constexpr int64_t kAmHighKhz = band::kAmRaster.high / 10'000;

bool IsGone(int error) { return error == ENODEV || error == ENXIO || error == EIO; }

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

}  // namespace

V4l2Tuner::V4l2Tuner(std::unique_ptr<RadioDevice> device, V4l2Options options,
                     const DriverClock& clock)
    : device_(std::move(device)), options_(std::move(options)), clock_(clock) {}

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
  rds_running_ = false;
  tuned_.reset();
  ResetRds();
  // Forced mono outlives a stop and start of the radio, as the plug-in does not send it again.
  if (mono_) SetForceMono(true);
  return lost_ ? kDeviceLost : kOk;
}

int32_t V4l2Tuner::OpenAndCheck() {
  if (const int error = device_->Open(options_.device_path); error != 0) {
    return OpenFailure(error);
  }
  v4l2_capability capabilities{};
  if (const int error = device_->QueryCapabilities(capabilities); error != 0) {
    return error == ENOTTY || error == EINVAL ? kNotRadio : OpenFailure(error);
  }
  const uint32_t caps = (capabilities.capabilities & V4L2_CAP_DEVICE_CAPS)
                            ? capabilities.device_caps
                            : capabilities.capabilities;
  if (!(caps & V4L2_CAP_RADIO) || !(caps & V4L2_CAP_TUNER)) return kNotRadio;

  v4l2_tuner tuner{};
  tuner.index = 0;
  if (const int error = device_->GetTuner(tuner); error != 0) {
    return error == EINVAL || error == ENOTTY ? kNotRadio : OpenFailure(error);
  }
  if (tuner.type != V4L2_TUNER_RADIO) return kNotRadio;
  tuner_capability_ = tuner.capability;
  hardware_seek_ =
      (caps & V4L2_CAP_HW_FREQ_SEEK) ||
      (tuner.capability & (V4L2_TUNER_CAP_HWSEEK_BOUNDED | V4L2_TUNER_CAP_HWSEEK_WRAP));
  rds_capture_ = (caps & V4L2_CAP_RDS_CAPTURE) != 0;
  ReadBands(tuner);
  return bands_.empty() ? kNotRadio : kOk;
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
      bands_.push_back({false, band.rangelow, band.rangehigh, unit});
    }
    if (band.modulation & V4L2_BAND_MODULATION_AM) {
      bands_.push_back({true, band.rangelow, band.rangehigh, unit});
    }
  }
  // A device that cannot list its bands has one: an FM band over the tuner's range.
  if (bands_.empty() && tuner.rangehigh > tuner.rangelow) {
    bands_.push_back({false, tuner.rangelow, tuner.rangehigh, UnitOf(tuner.capability)});
  }
}

int32_t V4l2Tuner::Uninitialize() {
  if (!initialized_) return kNotInitialized;
  device_->Close();
  initialized_ = false;
  lost_ = false;
  rds_running_ = false;
  return kOk;
}

int32_t V4l2Tuner::Ready() const {
  if (!initialized_) return kNotInitialized;
  if (lost_) return kDeviceLost;
  return kOk;
}

int32_t V4l2Tuner::Failure(int error) {
  if (IsGone(error)) {
    lost_ = true;
    return kDeviceLost;
  }
  return error == EBUSY || error == EAGAIN ? kDeviceBusy : kDeviceError;
}

int32_t V4l2Tuner::SetMute(bool mute) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  const int error = device_->SetControl(V4L2_CID_AUDIO_MUTE, mute ? 1 : 0);
  // A tuner without a mute control plays through another path the user mutes there.
  if (error != 0 && error != EINVAL && error != ENOTTY) return Failure(error);
  muted_ = mute;
  return kOk;
}

int32_t V4l2Tuner::SetForceMono(bool mono) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  mono_ = mono;
  v4l2_tuner tuner{};
  if (const int32_t result = ReadTuner(tuner); result != kOk) return result;
  tuner.audmode = mono ? V4L2_TUNER_MODE_MONO : V4L2_TUNER_MODE_STEREO;
  if (const int error = device_->SetTuner(tuner); error != 0) return Failure(error);
  return kOk;
}

const V4l2Tuner::DeviceBand* V4l2Tuner::BandFor(int32_t value) const {
  const bool am = IsAmValue(value);
  const int64_t hertz = PlugInValueToHertz(value);
  for (const DeviceBand& band : bands_) {
    if (band.am != am) continue;
    const std::optional<uint32_t> units = HertzToUnits(hertz, band.unit);
    if (units && *units >= band.low && *units <= band.high) return &band;
  }
  return nullptr;
}

int32_t V4l2Tuner::Tune(int32_t value) {
  const DeviceBand* band = BandFor(value);
  if (band == nullptr) return kOutOfBand;
  v4l2_frequency frequency{};
  frequency.tuner = 0;
  frequency.type = V4L2_TUNER_RADIO;
  frequency.frequency = *HertzToUnits(PlugInValueToHertz(value), band->unit);
  if (const int error = device_->SetFrequency(frequency); error != 0) return Failure(error);
  tuned_ = Tuned{value, frequency.frequency};
  return ResetRds();
}

int32_t V4l2Tuner::SetFrequency(int32_t frequency) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  return Tune(frequency);
}

int32_t V4l2Tuner::ReadTuner(v4l2_tuner& tuner) {
  tuner = v4l2_tuner{};
  tuner.index = 0;
  if (const int error = device_->GetTuner(tuner); error != 0) return Failure(error);
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
  const int64_t step = found->unit == TunerUnit::k62_5kHz ? 100'000 : 10'000;
  const int64_t snapped = (hertz + step / 2) / step * step;
  return static_cast<int32_t>(std::clamp(snapped, kFmLowHz, kFmHighHz));
}

int32_t V4l2Tuner::ReadFrequency(int32_t& value) {
  v4l2_frequency frequency{};
  frequency.tuner = 0;
  if (const int error = device_->GetFrequency(frequency); error != 0) return Failure(error);
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

int32_t V4l2Tuner::BandEdge(const DeviceBand& band, bool up) const {
  const int64_t hertz = UnitsToHertz(up ? band.high : band.low, band.unit);
  if (band.am) {
    return static_cast<int32_t>(std::clamp<int64_t>(hertz / 1000, kAmLowKhz, kAmHighKhz) * 10'000);
  }
  return static_cast<int32_t>(std::clamp(hertz, kFmLowHz, kFmHighHz));
}

int32_t V4l2Tuner::Search(int32_t& frequency, bool up) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  const DeviceBand* band = BandFor(frequency);
  if (band == nullptr) return kOutOfBand;
  if (hardware_seek_) {
    int32_t found = frequency;
    if (const std::optional<int32_t> result = HardwareSeek(found, up, *band)) {
      if (*result == kOk || *result == HALVANE_SEARCH_BAND_END) frequency = found;
      return *result;
    }
  }
  return SoftwareSeek(frequency, up);
}

std::optional<int32_t> V4l2Tuner::HardwareSeek(int32_t& value, bool up, const DeviceBand& band) {
  // The seek starts where the tuner is; the plug-in means the frequency it passed.
  if (!tuned_ || tuned_->value != value) {
    if (const int32_t result = Tune(value); result != kOk) return result;
  }
  v4l2_hw_freq_seek seek{};
  seek.tuner = 0;
  seek.type = V4L2_TUNER_RADIO;
  seek.seek_upward = up ? 1 : 0;
  seek.wrap_around = 0;
  seek.spacing = band.am ? kAmSpacingHz : kFmSpacingHz;
  if (tuner_capability_ & V4L2_TUNER_CAP_HWSEEK_PROG_LIM) {
    seek.rangelow = band.low;
    seek.rangehigh = band.high;
  }
  const int error = device_->SeekHardware(seek);
  // The device cannot seek this way (spacing, range or direction it lacks): walk instead.
  if (error == EINVAL || error == ENOTTY) return std::nullopt;
  // Whatever else came of it, the tuner may have moved: the old station's RDS is gone.
  tuned_.reset();
  if (const int32_t result = ResetRds(); result != kOk) return result;
  if (error == ENODATA) {
    value = BandEdge(band, up);
    return HALVANE_SEARCH_BAND_END;
  }
  if (error != 0) return Failure(error);
  return ReadFrequency(value);
}

int V4l2Tuner::LevelOf(const v4l2_tuner& tuner) {
  // signal: 0 none .. 65535 strongest; level: 0 strongest .. 15 none.
  const int64_t signal = std::clamp<int64_t>(tuner.signal, 0, 65535);
  return static_cast<int>(15 - (signal * 15 + 32767) / 65535);
}

int32_t V4l2Tuner::SoftwareSeek(int32_t& value, bool up) {
  // Bounded by the raster: at most one walk over the band, one tune and signal read a channel.
  for (std::optional<int32_t> channel = band::NextChannel(value, up); channel;
       channel = band::NextChannel(*channel, up)) {
    if (BandFor(*channel) == nullptr) continue;
    if (const int32_t result = Tune(*channel); result != kOk) return result;
    device_->Settle();
    v4l2_tuner tuner{};
    if (const int32_t result = ReadTuner(tuner); result != kOk) return result;
    if (LevelOf(tuner) <= options_.seek_threshold) {
      value = *channel;
      return kOk;
    }
  }
  const band::Raster& raster = band::RasterOf(value);
  value = up ? raster.high : raster.low;
  return HALVANE_SEARCH_BAND_END;
}

int32_t V4l2Tuner::ResetRds() {
  assembler_.Reset();
  monitor_.Clear();
  pending_rds_.clear();
  return DrainRds();
}

int32_t V4l2Tuner::DrainRds() {
  if (!rds_capture_) return kOk;
  std::array<uint8_t, kRecordsPerRead * rds::kRawRecordSize> buffer;
  for (int i = 0; i < kMaxReadsPerCall; ++i) {
    size_t read = 0;
    if (const int error = device_->ReadRds(buffer, read); error != 0) return Failure(error);
    if (read == 0) break;
  }
  return kOk;
}

int32_t V4l2Tuner::PumpRds() {
  const int64_t now = clock_.NowMs();
  if (rds_capture_ && rds_running_) {
    std::array<uint8_t, kRecordsPerRead * rds::kRawRecordSize> buffer;
    for (int i = 0; i < kMaxReadsPerCall; ++i) {
      size_t read = 0;
      if (const int error = device_->ReadRds(buffer, read); error != 0) return Failure(error);
      if (read == 0) break;
      pending_rds_.insert(pending_rds_.end(), buffer.begin(), buffer.begin() + read);
      const size_t whole = pending_rds_.size() / rds::kRawRecordSize * rds::kRawRecordSize;
      for (const rds::RawBlock& block :
           rds::ParseRawBlockDump(std::span(pending_rds_).first(whole))) {
        if (block.damaged()) monitor_.OnDamagedBlocks(1, now);
        assembler_.Add(block,
                       [&](const rds::ReceivedGroup& group) { monitor_.OnGroup(group, now, 0); });
      }
      pending_rds_.erase(pending_rds_.begin(), pending_rds_.begin() + whole);
    }
  }
  monitor_.Expire(now);
  return kOk;
}

int32_t V4l2Tuner::StartRds() {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  if (rds_running_) return kOk;
  rds_running_ = true;
  // Blocks queued while decoding was off are out of date.
  assembler_.Reset();
  pending_rds_.clear();
  return DrainRds();
}

int32_t V4l2Tuner::StopRds() {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  const int32_t result = PumpRds();
  rds_running_ = false;
  return result;
}

int32_t V4l2Tuner::GetState(uint8_t& flags) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  v4l2_tuner tuner{};
  if (const int32_t result = ReadTuner(tuner); result != kOk) return result;
  const bool station = LevelOf(tuner) <= options_.seek_threshold;
  const bool stereo = (tuner.rxsubchans & V4L2_TUNER_SUB_STEREO) != 0;
  flags = (station ? kStateStation : 0) | (stereo && !mono_ ? kStateStereo : 0) |
          (muted_ ? kStateMuted : 0) | (mono_ ? kStateMonoForced : 0);
  return kOk;
}

int32_t V4l2Tuner::GetDecoderState(uint32_t& state) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  v4l2_tuner tuner{};
  if (const int32_t result = ReadTuner(tuner); result != kOk) return result;
  if (const int32_t result = PumpRds(); result != kOk) return result;
  const uint32_t level = rds_running_ ? static_cast<uint32_t>(LevelOf(tuner)) : 15;
  state = DecoderStateWord(level, monitor_.DamagedBlocksInLastSecond(clock_.NowMs()));
  return kOk;
}

int32_t V4l2Tuner::EvalData(RdsRecord& record) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  if (!rds_running_) return kRdsStopped;
  if (const int32_t result = PumpRds(); result != kOk) return result;
  if (!monitor_.decoder().has_data()) return kRdsNoData;
  if (!monitor_.HasFreshData(clock_.NowMs())) return kRdsStale;
  record = rds::MakeRecord(monitor_.decoder().data());
  return kOk;
}

}  // namespace halvane::driver::v4l2
