#include "sdr/sources/synthetic_source.h"

#include <cmath>

#include "frequency.h"
#include "last_reason.h"
#include "programme/station_programme.h"
#include "result_codes.h"
#include "sdr/am_broadcast.h"
#include "sdr/broadcast.h"
#include "sdr/dsp/receiver.h"
#include "sim/programme_schedule.h"
#include "sim/rds_timing.h"

namespace halvane::driver::sdr {
namespace {

// The noise floor is the same on every channel: that of a unit carrier at the best level's
// carrier-to-noise; a weaker station is a weaker carrier.
constexpr double kFloorCnrDb = kLevelZeroCnrDb;
// The same floor in AM's narrower reference channel.
const double kAmFloorCnrDb = kFloorCnrDb + 10 * std::log10(kNoiseBandwidthHz / kAmNoiseBandwidthHz);
// An AM channel reaches this far either side of its carrier.
constexpr double kAmChannelHalfWidthHz = 10'000;
// A station's programme modulates its carrier at most this deep: the troughs of its loudest
// peaks stay off zero, as a broadcaster's processing keeps them.
constexpr double kAmProgrammeDepth = 0.9;

}  // namespace

double CnrForLevel(int level) { return kLevelZeroCnrDb - kDbPerLevel * level - kDbPerLevel / 2; }

SyntheticSource::SyntheticSource(SdrConfig config, std::function<band::BandLoad()> loadBand)
    : config_(std::move(config)), loadBand_(std::move(loadBand)) {}

int32_t SyntheticSource::Open(int64_t nowMs) {
  if (!band_) {
    band::BandLoad load = loadBand_();
    if (!load.band) {
      SetLastReason(load.message);
      return load.errorCode;
    }
    band_ = std::move(load.band);
  }
  airFromMs_ = nowMs;
  feeds_.clear();
  noise_ =
      std::make_unique<NoiseSource>(NoiseSource::SigmaFor(1.0, kFloorCnrDb, config_.rate), 0x5eed);
  Restart(nowMs);
  return kOk;
}

int32_t SyntheticSource::Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) {
  onSpan_.clear();
  amOnSpan_.clear();
  static const std::vector<band::Station> kNone;
  for (const band::Station& station : band_ ? band_->stations : kNone) {
    const Frequency frequency(station.frequency);
    const double distance =
        static_cast<double>(frequency.Hertz()) - static_cast<double>(frequencyHz);
    // A station is on the captured span when its whole channel is.
    const double halfWidth = frequency.IsAm() ? kAmChannelHalfWidthHz : kChannelHalfWidthHz;
    const bool everOnAir = station.level < band::kNoStationLevel || !station.route.empty();
    if (!everOnAir || std::fabs(distance) > config_.rate / 2.0 - halfWidth) continue;
    if (frequency.IsAm()) {
      SendAm(station, distance, nowMs);
      continue;
    }
    TransmitterOptions options;
    options.multiplex.stereo = station.stereo;
    options.multiplex.rds = station.programme;
    options.multiplex.onAirMs = nowMs - airFromMs_;
    options.multiplex.tone = {config_.toneHz, config_.toneLeft, config_.toneRight, 0.5};
    if (config_.programmes) options.multiplex.programme = FeedOf(station, nowMs);
    options.multiplex.preemphasisUs = config_.deemphasisUs;
    options.sampleRate = config_.rate;
    options.carrierOffsetHz = distance + config_.carrierOffsetHz;
    options.clockErrorPpm = config_.clockPpm;
    options.amplitude = AmplitudeFor(station.level);
    options.seed = static_cast<uint64_t>(station.frequency);
    onSpan_.push_back({&station, Transmitter(options)});
  }
  offsetHz = 0.0;
  Restart(nowMs);
  return kOk;
}

void SyntheticSource::SendAm(const band::Station& station, double distanceHz, int64_t nowMs) {
  AmTransmitterOptions options;
  options.tone = {config_.toneHz, true, true, 0.5};
  if (config_.programmes) {
    options.programme = FeedOf(station, nowMs);
    // Held to full scale by the limiter; stations keep the troughs off zero.
    options.depth = kAmProgrammeDepth;
  }
  options.sampleRate = config_.rate;
  options.carrierOffsetHz = distanceHz + config_.carrierOffsetHz;
  options.amplitude = AmplitudeFor(station.level, true);
  options.seed = static_cast<uint64_t>(station.frequency);
  amOnSpan_.push_back({&station, AmTransmitter(options)});
}

int32_t SyntheticSource::Produce(size_t count, std::vector<Complex>& out) {
  const size_t first = out.size();
  out.resize(first + count);
  const std::span<Complex> fresh(out.data() + first, count);
  std::fill(fresh.begin(), fresh.end(), Complex{});
  const int64_t routeMs = PacedMs() - airFromMs_;
  for (OnSpan& sent : onSpan_) {
    if (!sent.station->route.empty()) {
      // A station off the air sends nothing, and goes on from there when it comes back.
      const int level = sent.station->LevelAt(routeMs);
      if (level >= band::kNoStationLevel) continue;
      sent.transmitter.SetAmplitude(AmplitudeFor(level));
    }
    sent.transmitter.Add(fresh);
  }
  for (AmOnSpan& sent : amOnSpan_) {
    if (!sent.station->route.empty()) {
      const int level = sent.station->LevelAt(routeMs);
      if (level >= band::kNoStationLevel) continue;
      sent.transmitter.SetAmplitude(AmplitudeFor(level, true));
    }
    sent.transmitter.Add(fresh);
  }
  if (noise_) {
    for (Complex& sample : fresh) sample += noise_->Next();
  }
  return kOk;
}

std::shared_ptr<ProgrammeFeed> SyntheticSource::FeedOf(const band::Station& station,
                                                       int64_t nowMs) {
  std::shared_ptr<ProgrammeFeed>& feed = feeds_[&station];
  if (!feed) {
    // AM sends no pre-emphasis, and a narrower band.
    const bool am = Frequency(station.frequency).IsAm();
    const int64_t onAirMs = nowMs - airFromMs_;
    // The traffic news on the schedule the station's TA flag follows, from the radio's start.
    ProgrammeFeed::Announcements announcements;
    if (station.programme && station.programme->ta != band::TrafficAnnouncement::Off) {
      announcements = [rds = *station.programme, onAirMs](double s) {
        return sim::AnnouncementDuring(rds, sim::GroupsArrived(std::llround(s * 1000)), onAirMs);
      };
    }
    // On the air since the radio was opened: it starts with what it plays by then.
    feed = std::make_shared<ProgrammeFeed>(
        programme::ProgrammeFor(station, static_cast<double>(onAirMs) / 1000,
                                {config_.toneHz, config_.toneLeft, config_.toneRight, 0.5}),
        am ? 0.0 : config_.deemphasisUs, am, std::move(announcements));
  }
  return feed;
}

float SyntheticSource::AmplitudeFor(int level, bool am) const {
  const double cnr = config_.cnrDb.value_or(CnrForLevel(level));
  return static_cast<float>(std::pow(10.0, (cnr - (am ? kAmFloorCnrDb : kFloorCnrDb)) / 20));
}

int32_t SyntheticSource::Skip(size_t) {
  // Nobody heard those samples, so the station simply goes on from where it was heard last.
  return kOk;
}

}  // namespace halvane::driver::sdr
