#include "sdr/synthetic_source.h"

#include <cmath>

#include "last_reason.h"
#include "result_codes.h"
#include "sdr/receiver.h"

namespace halvane::driver::sdr {
namespace {

// The noise floor is the same on every channel: that of a unit carrier at the best level's
// carrier-to-noise; a weaker station is a weaker carrier.
constexpr double kFloorCnrDb = kLevelZeroCnrDb;

}  // namespace

double CnrForLevel(int level) { return kLevelZeroCnrDb - kDbPerLevel * level - kDbPerLevel / 2; }

SyntheticSource::SyntheticSource(const SdrConfig& config, std::function<band::BandLoad()> load_band)
    : config_(config), load_band_(std::move(load_band)) {}

int32_t SyntheticSource::Open(int64_t now_ms) {
  if (!band_) {
    band::BandLoad load = load_band_();
    if (!load.band) {
      SetLastReason(load.message);
      return load.error_code;
    }
    band_ = std::move(load.band);
  }
  noise_ =
      std::make_unique<NoiseSource>(NoiseSource::SigmaFor(1.0, kFloorCnrDb, config_.rate), 0x5eed);
  Restart(now_ms);
  return kOk;
}

int32_t SyntheticSource::Tune(int64_t frequency_hz, int64_t now_ms,
                              std::optional<double>& offset_hz) {
  transmitter_.reset();
  const band::Station* station = band_ && frequency_hz <= INT32_MAX
                                     ? band_->Find(static_cast<int32_t>(frequency_hz))
                                     : nullptr;
  if (station != nullptr && station->level < band::kNoStationLevel) {
    TransmitterOptions options;
    options.multiplex.stereo = station->stereo;
    options.multiplex.rds = station->programme;
    options.multiplex.tone = {config_.tone_hz, config_.tone_left, config_.tone_right, 0.5};
    options.multiplex.preemphasis_us = config_.deemphasis_us;
    options.sample_rate = config_.rate;
    options.carrier_offset_hz = config_.carrier_offset_hz;
    options.clock_error_ppm = config_.clock_ppm;
    const double cnr = config_.cnr_db.value_or(CnrForLevel(station->level));
    options.amplitude = static_cast<float>(std::pow(10.0, (cnr - kFloorCnrDb) / 20));
    options.seed = static_cast<uint64_t>(frequency_hz);
    transmitter_ = std::make_unique<Transmitter>(options);
  }
  offset_hz = 0.0;
  Restart(now_ms);
  return kOk;
}

int32_t SyntheticSource::Produce(size_t count, std::vector<Complex>& out) {
  const size_t first = out.size();
  out.resize(first + count);
  const std::span<Complex> fresh(out.data() + first, count);
  if (transmitter_) {
    transmitter_->Generate(fresh);
  } else {
    std::fill(fresh.begin(), fresh.end(), Complex{});
  }
  if (noise_) {
    for (Complex& sample : fresh) sample += noise_->Next();
  }
  return kOk;
}

int32_t SyntheticSource::Skip(size_t) {
  // Nobody heard those samples, so the station simply goes on from where it was heard last.
  return kOk;
}

}  // namespace halvane::driver::sdr
