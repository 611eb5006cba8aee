// Seeking: the device's own hardware seek where it has one, else a walk over the raster.
#include <algorithm>
#include <cerrno>
#include <string>

#include "frequency.h"
#include "rds/traffic_follower.h"
#include "result_codes.h"
#include "v4l2/rds_controls.h"
#include "v4l2/seek_result.h"
#include "v4l2/v4l2_tuner.h"

namespace halvane::driver::v4l2 {
namespace {

// Seek spacing in hertz: the FM raster and the AM raster.
constexpr uint32_t kFmSpacingHz = 100'000;
constexpr uint32_t kAmSpacingHz = 10'000;
// The first seeks of a session also read the signal on a channel they passed over, which costs
// a tune and a settling wait each; a few are enough to find the floor.
constexpr int kNoiseFloorProbes = 4;
// A seek with traffic on gives up after this long without a station that carries traffic.
constexpr int64_t kTrafficSeekMs = 10'000;
// While listening for a station's TP, RDS is read this often; a wait that does not move the
// clock (a device that answers at once) still ends.
constexpr int kTrafficPollMs = 20;
constexpr int kMaxTrafficPolls = 2 * static_cast<int>(rds::kTrafficFlagWaitMs / kTrafficPollMs) + 2;

}  // namespace

int32_t V4l2Tuner::BandEdge(const DeviceBand& band, bool up) const {
  const Raster& raster = band.am ? kAmRaster : kFmRaster;
  const int64_t hertz = UnitsToHertz(up ? band.high : band.low, band.unit);
  const int64_t value = band.am ? hertz / 1000 * 10'000 : hertz;
  const int64_t edge = std::clamp<int64_t>(value, raster.low, raster.high);
  // On the raster, inside the device's band.
  const int64_t off = (edge - raster.low) % raster.step;
  return static_cast<int32_t>(up ? edge - off : edge + (off ? raster.step - off : 0));
}

int32_t V4l2Tuner::Search(int32_t& frequency, bool up) {
  if (const int32_t ready = Ready(); ready != kOk) return ready;
  const DeviceBand* band = BandFor(frequency);
  if (band == nullptr) {
    return Refuse(kOutOfBand, std::to_string(Frequency(frequency).Hertz()) +
                                  " Hz is outside every band of the tuner");
  }
  const DeviceBand seekBand = *band;
  follower_.Tuned(clock_.NowMs());
  traffic_.Tuned();
  // Only the station's RDS tells whether it carries traffic: a tuner without RDS stops anywhere.
  if (!rds::SeekWantsTraffic(traffic(), frequency) || rdsSource_ == RdsSource::None) {
    return SeekOnce(frequency, up, seekBand);
  }
  // With traffic on the seek goes on from each station that carries none, each step a seek of
  // its own that moves on from the last (so at most one pass over the band), until the time
  // the search may take.
  const int64_t deadline = clock_.NowMs() + kTrafficSeekMs;
  int32_t at = frequency;
  for (int passed = 0;; ++passed) {
    if (const int32_t result = SeekOnce(at, up, seekBand); result != kOk) {
      if (result == HALVANE_SEARCH_BAND_END) frequency = at;
      return result;
    }
    std::optional<bool> tp;
    bool readable = true;
    if (const int32_t result = ListenForTraffic(deadline, tp, readable); result != kOk) {
      return result;
    }
    // RDS that cannot be read here (another program holds it, the chip refuses its controls):
    // as on a tuner without RDS, the station found stops the seek.
    if (tp.value_or(false) || !readable) {
      frequency = at;
      return kOk;
    }
    if (clock_.NowMs() >= deadline) {
      const std::string why = "no station that carries traffic was found within " +
                              std::to_string(kTrafficSeekMs / 1000) + " s (" +
                              std::to_string(passed + 1) +
                              " stations without traffic passed by): back where the search began";
      if (const int32_t result = Tune(frequency); result != kOk) return result;
      return Refuse(kNoTrafficStationInTime, why);
    }
  }
}

int32_t V4l2Tuner::SeekOnce(int32_t& frequency, bool up, const DeviceBand& band) {
  if (hardwareSeek_) {
    int32_t found = frequency;
    if (const std::optional<int32_t> result = HardwareSeek(found, up, band)) {
      if (*result == kOk || *result == HALVANE_SEARCH_BAND_END) frequency = found;
      return *result;
    }
  }
  return SoftwareSeek(frequency, up, band);
}

int32_t V4l2Tuner::ListenForTraffic(int64_t deadline, std::optional<bool>& tp, bool& readable) {
  tp.reset();
  readable = true;
  const int64_t until = std::min(clock_.NowMs() + rds::kTrafficFlagWaitMs, deadline);
  for (int poll = 0; poll < kMaxTrafficPolls; ++poll) {
    if (rdsSource_ == RdsSource::Controls) {
      rds::RdsData data;
      bool received = false;
      // The chip's own decoding: its flags are the station's once its name or text came.
      if (ReadRdsControls(*device_, data, received) != 0) {
        readable = false;
        return kOk;
      }
      if (received) tp = data.tp;
    } else {
      if (const int32_t result = ReadBlocks(clock_.NowMs()); result != kOk) return result;
      if (rdsOffThisTune_) {
        readable = false;
        return kOk;
      }
      tp = rds::CarriesTraffic(monitor_);
    }
    const int64_t left = until - clock_.NowMs();
    if (tp || left <= 0) return kOk;
    device_->WaitRds(static_cast<int>(std::min<int64_t>(kTrafficPollMs, left)));
  }
  return kOk;
}

std::optional<int32_t> V4l2Tuner::HardwareSeek(int32_t& value, bool up, const DeviceBand& band) {
  // The seek starts where the tuner is; the plug-in means the frequency it passed.
  if (!tuned_ || tuned_->value != value) {
    if (const int32_t result = Tune(value); result != kOk) return result;
  }
  const int32_t start = value;
  v4l2_hw_freq_seek seek{};
  seek.tuner = 0;
  seek.type = V4L2_TUNER_RADIO;
  seek.seek_upward = up ? 1 : 0;
  seek.wrap_around = 0;
  seek.spacing = quirks_.misreadsSeekSpacing ? 0 : band.am ? kAmSpacingHz : kFmSpacingHz;
  if (tunerCapability_ & V4L2_TUNER_CAP_HWSEEK_PROG_LIM) {
    // Any limits: the plug-in's band, where the device's reaches further (64-108 MHz).
    const Raster& raster = band.am ? kAmRaster : kFmRaster;
    seek.rangelow = std::max(band.low, *HertzToUnits(Frequency(raster.low).Hertz(), band.unit));
    seek.rangehigh = std::min(band.high, *HertzToUnits(Frequency(raster.high).Hertz(), band.unit));
  } else if (band.listed) {
    // Only one of the device's own bands; without one si470x seeks 76-108 MHz.
    seek.rangelow = band.low;
    seek.rangehigh = band.high;
  }
  const int error = device_->SeekHardware(seek);
  // The device cannot seek this way (spacing, range or direction it lacks): walk instead.
  if (error == EINVAL || error == ENOTTY) return std::nullopt;
  // Whatever else came of it, the tuner may have moved: the old station's RDS is gone.
  tuned_.reset();
  if (error == ENODATA) {
    MeasureNoiseFloor(start, up);
    return EndOfBand(value, up, band);
  }
  if (error != 0) return Failure(error, "seeking");
  v4l2_frequency frequency{};
  frequency.tuner = 0;
  if (const int read = device_->GetFrequency(frequency); read != 0) {
    return Failure(read, "reading the frequency a seek found");
  }
  const std::optional<int32_t> channel = ChannelFoundBySeek(
      start, BandEdge(band, up), UnitsToHertz(frequency.frequency, band.unit), band.am, up);
  if (!channel) {
    MeasureNoiseFloor(start, up);
    return EndOfBand(value, up, band);
  }
  const bool moved = NextChannel(start, up) != channel && MeasureNoiseFloor(start, up);
  value = *channel;
  // A seek that stopped on the channel itself needs no tune; one between channels, or a tuner
  // moved to measure the floor, does.
  const uint32_t units = *HertzToUnits(Frequency(*channel).Hertz(), band.unit);
  if (moved || units != frequency.frequency) return Tune(*channel);
  tuned_ = Tuned{*channel, units};
  amTuned_ = band.am;
  return ResetRds();
}

bool V4l2Tuner::MeasureNoiseFloor(int32_t start, bool up) {
  if (noiseProbes_ >= kNoiseFloorProbes) return false;
  const std::optional<int32_t> passed = NextChannel(start, up);
  if (!passed || BandFor(*passed) == nullptr) return false;
  ++noiseProbes_;
  if (Tune(*passed) != kOk) return true;
  device_->Settle();
  v4l2_tuner tuner{};
  tuner.index = 0;
  if (device_->GetTuner(tuner) == 0) {
    noiseFloor_.Sample(static_cast<uint32_t>(std::clamp<int32_t>(tuner.signal, 0, 65535)));
  }
  return true;
}

int32_t V4l2Tuner::EndOfBand(int32_t& value, bool up, const DeviceBand& band) {
  const int32_t edge = BandEdge(band, up);
  if (!tuned_ || tuned_->value != edge) {
    if (const int32_t result = Tune(edge); result != kOk) return result;
  }
  value = edge;
  return HALVANE_SEARCH_BAND_END;
}

int32_t V4l2Tuner::SoftwareSeek(int32_t& value, bool up, const DeviceBand& band) {
  // Bounded by the raster: at most one walk over the band, one tune and signal read a channel.
  for (std::optional<int32_t> channel = NextChannel(value, up); channel;
       channel = NextChannel(*channel, up)) {
    if (BandFor(*channel) == nullptr) continue;
    if (const int32_t result = Tune(*channel); result != kOk) return result;
    device_->Settle();
    v4l2_tuner tuner{};
    if (const int32_t result = ReadTuner(tuner); result != kOk) return result;
    if (LevelOf(tuner) <= options_.seekThreshold) {
      value = *channel;
      return kOk;
    }
    noiseFloor_.Sample(static_cast<uint32_t>(std::clamp<int32_t>(tuner.signal, 0, 65535)));
  }
  return EndOfBand(value, up, band);
}

}  // namespace halvane::driver::v4l2
