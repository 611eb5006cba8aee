// Drives through a network of four transmitters of one programme, polled every 100 ms as the
// plug-in polls, on the driver's manual clock:
// - DriveSimulated: driver/sim/drive.ini on the simulated tuner (twelve minutes, a tunnel, a
//   strong station of another programme wrongly listed as an alternative; the transmitters lie
//   far apart, so each check is a short muted jump);
// - DriveSdr: driver/sim/span_drive.ini on the SDR tuner over the synthetic band (twelve minutes,
//   every transmitter inside the span captured at 2.048 MS/s, the same wrongly listed rival).
// Figures: the moves the radio made against those the route needs, polls on another programme
// (must be 0), and the time the listener heard nothing: checks of alternatives while the station
// was heard, the time no transmitter was received, against the route's own tunnel (no
// transmitter of the programme in reach), and on the SDR the sound itself as it reached the sink.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "audio/audio_sink.h"
#include "band/band_loader.h"
#include "band/station.h"
#include "bench_pairs.h"
#include "driver_clock.h"
#include "result_codes.h"
#include "sdr/sdr_tuner.h"
#include "sdr/sources/synthetic_source.h"
#include "sim/sim_tuner.h"

namespace bench {
namespace {

namespace driver = halvane::driver;
namespace band = halvane::driver::band;

constexpr int64_t kPollMs = 100;
constexpr int64_t kDriveMs = 12 * 60 * 1000;
constexpr uint16_t kProgramme = 0x5C11;

bool OfProgramme(const band::Station* station) {
  return station != nullptr && station->programme && station->programme->pi == kProgramme;
}

struct DriveFigures {
  int routeSwitches = 0;  // moves between the programme's transmitters the route calls for
  int64_t tunnelMs = 0;   // the route's time with none of them in reach
  int otherProgrammePolls = 0;
  int64_t noSignalMs = 0;  // tuned transmitter not received at all
};

// How many times the programme's strongest transmitter changes along the route, and how long
// none is in reach.
void MeasureRoute(const band::Band& network, DriveFigures& figures) {
  int changes = 0;
  const band::Station* best = nullptr;
  for (int64_t t = 0; t <= kDriveMs; t += kPollMs) {
    const band::Station* now = best;
    for (const band::Station& station : network.stations) {
      if (!OfProgramme(&station)) continue;
      if (now == nullptr || station.LevelAt(t) < now->LevelAt(t)) now = &station;
    }
    if (best != nullptr && now != best) ++changes;
    best = now;
    if (now->LevelAt(t) >= band::kNoStationLevel) figures.tunnelMs += kPollMs;
  }
  figures.routeSwitches = changes;
}

// Tunes the network's first station and polls to the end of the drive.
void Poll(driver::TunerBackend& tuner, driver::DriverClock& clock, const band::Band& network,
          DriveFigures& figures) {
  tuner.Initialize();
  tuner.SetFrequency(network.stations.front().frequency);
  tuner.StartRds();
  for (int64_t t = 0; t < kDriveMs; t += kPollMs) {
    clock.Advance(kPollMs);
    uint32_t decoder = 0;
    tuner.GetDecoderState(decoder);
    int32_t frequency = 0;
    tuner.GetFrequency(frequency);
    if (!OfProgramme(network.Find(frequency))) ++figures.otherProgrammePolls;
    if ((decoder & 0x0F) == band::kNoStationLevel) figures.noSignalMs += kPollMs;
  }
}

void Report(benchmark::State& state, const DriveFigures& figures,
            const driver::rds::AfFollowStatistics& follow) {
  state.counters["minutes"] = static_cast<double>(kDriveMs) / 60'000;
  state.counters["switches"] = follow.switches;
  state.counters["route_switches"] = figures.routeSwitches;
  state.counters["other_programme_polls"] = figures.otherProgrammePolls;
  state.counters["checks"] = follow.checks;
  state.counters["check_silence_ms"] = static_cast<double>(follow.silentMs);
  state.counters["longest_check_ms"] = static_cast<double>(follow.longestSilentMs);
  state.counters["search_ms"] = static_cast<double>(follow.searchMs);
  state.counters["no_signal_ms"] = static_cast<double>(figures.noSignalMs);
  state.counters["route_tunnel_ms"] = static_cast<double>(figures.tunnelMs);
  state.counters["silent_ms"] = static_cast<double>(follow.silentMs + figures.noSignalMs);
  if (figures.otherProgrammePolls != 0) {
    state.SkipWithError("the radio played another programme");
  } else if (follow.switches > figures.routeSwitches) {
    state.SkipWithError("more moves than the route needs");
  }
}

std::optional<band::Band> LoadNetwork(benchmark::State& state, const char* path,
                                      DriveFigures& figures) {
  band::BandLoad load = band::LoadBandFile(path);
  if (!load.band) {
    state.SkipWithError((std::string(path) + ": " + load.message).c_str());
    return std::nullopt;
  }
  MeasureRoute(*load.band, figures);
  return std::move(load.band);
}

void DriveSimulated(benchmark::State& state) {
  DriveFigures figures;
  const std::optional<band::Band> network = LoadNetwork(state, HALVANE_DRIVE_FILE, figures);
  if (!network) return;
  std::optional<driver::rds::AfFollowStatistics> follow;
  for (auto _ : state) {
    driver::DriverClock clock;
    clock.UseManual(true);
    driver::sim::SimTuner tuner(clock, [] { return band::LoadBandFile(HALVANE_DRIVE_FILE); });
    Poll(tuner, clock, *network, figures);
    follow = tuner.followStatistics();
    tuner.Uninitialize();
  }
  Report(state, figures, *follow);
}

// The sound as it reaches the speakers: how much came, and the longest stretch of it that was
// silence (the programme is a steady tone, so any silence is a gap).
class HeardSound final : public driver::audio::AudioSink {
 public:
  void Write(std::span<const float> interleaved) override {
    for (size_t i = 0; i + 1 < interleaved.size(); i += driver::audio::kChannels) {
      ++frames_;
      const bool quiet = std::fabs(interleaved[i]) < 1e-3f && std::fabs(interleaved[i + 1]) < 1e-3f;
      quietRun_ = quiet ? quietRun_ + 1 : 0;
      longestQuiet_ = std::max(longestQuiet_, quietRun_);
    }
  }
  void SetTitle(std::string_view) override {}

  // A quiet stretch shorter than a period of the tone is its zero crossing, not a gap.
  double LongestGapMs() const {
    const double ms = static_cast<double>(longestQuiet_) * 1000 / driver::audio::kSampleRate;
    return ms < 1.0 ? 0.0 : ms;
  }
  double HeardMs() const {
    return static_cast<double>(frames_) * 1000 / driver::audio::kSampleRate;
  }

 private:
  uint64_t frames_ = 0;
  uint64_t quietRun_ = 0;
  uint64_t longestQuiet_ = 0;
};

constexpr int32_t kSpanRate = 2'048'000;

void DriveSdr(benchmark::State& state) {
  DriveFigures figures;
  const std::optional<band::Band> network = LoadNetwork(state, HALVANE_SPAN_DRIVE_FILE, figures);
  if (!network) return;
  std::optional<driver::rds::AfFollowStatistics> follow;
  HeardSound* heard = nullptr;
  for (auto _ : state) {
    driver::DriverClock clock;
    clock.UseManual(true);
    driver::sdr::SdrConfig config;
    config.rate = kSpanRate;
    driver::sdr::SdrTunerParts parts;
    parts.makeSource = [config] {
      return std::make_unique<driver::sdr::SyntheticSource>(
          config, [] { return band::LoadBandFile(HALVANE_SPAN_DRIVE_FILE); });
    };
    parts.openAudio = [&heard] {
      auto sink = std::make_unique<HeardSound>();
      heard = sink.get();
      return sink;
    };
    driver::sdr::SdrTuner tuner(clock, config, 10, std::move(parts));
    Poll(tuner, clock, *network, figures);
    follow = tuner.followStatistics();
    state.counters["heard_ms"] = heard != nullptr ? heard->HeardMs() : 0;
    state.counters["longest_gap_ms"] = heard != nullptr ? heard->LongestGapMs() : 0;
    tuner.Uninitialize();
  }
  Report(state, figures, *follow);
}

const Registration kRegistration([] {
  AddFigure(20, "DriveSimulated", DriveSimulated, Length::kLong);
  AddFigure(23, "DriveSdr", DriveSdr, Length::kLong);
});

}  // namespace
}  // namespace bench
