// A drive through a network of four transmitters of one programme (driver/sim/drive.ini: twelve
// minutes, a tunnel, a strong station of another programme wrongly listed as an alternative),
// played on the simulated tuner with its manual clock and polled every 100 ms as the plug-in
// polls. Figures: the moves the radio made against those the route needs, polls on another
// programme (must be 0), and the time the listener heard nothing: checks of alternatives while
// the station was heard, and the time no transmitter was received, against the route's own
// tunnel (no transmitter of the programme in reach).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <optional>
#include <string>

#include "band/band_loader.h"
#include "band/station.h"
#include "bench_pairs.h"
#include "driver_clock.h"
#include "result_codes.h"
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
  int switches = 0;
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

void Drive(benchmark::State& state) {
  const band::BandLoad load = band::LoadBandFile(HALVANE_DRIVE_FILE);
  if (!load.band) {
    state.SkipWithError(("drive.ini: " + load.message).c_str());
    return;
  }
  DriveFigures figures;
  MeasureRoute(*load.band, figures);
  std::optional<driver::rds::AfFollowStatistics> follow;
  for (auto _ : state) {
    driver::DriverClock clock;
    clock.UseManual(true);
    driver::sim::SimTuner tuner(clock, [&] { return band::LoadBandFile(HALVANE_DRIVE_FILE); });
    tuner.Initialize();
    tuner.SetFrequency(load.band->stations.front().frequency);
    tuner.StartRds();
    for (int64_t t = 0; t < kDriveMs; t += kPollMs) {
      clock.Advance(kPollMs);
      uint32_t decoder = 0;
      tuner.GetDecoderState(decoder);
      int32_t frequency = 0;
      tuner.GetFrequency(frequency);
      const band::Station* station = load.band->Find(frequency);
      if (!OfProgramme(station)) ++figures.otherProgrammePolls;
      if ((decoder & 0x0F) == band::kNoStationLevel) figures.noSignalMs += kPollMs;
    }
    follow = tuner.followStatistics();
    tuner.Uninitialize();
  }
  figures.switches = follow->switches;
  state.counters["minutes"] = static_cast<double>(kDriveMs) / 60'000;
  state.counters["switches"] = figures.switches;
  state.counters["route_switches"] = figures.routeSwitches;
  state.counters["other_programme_polls"] = figures.otherProgrammePolls;
  state.counters["checks"] = follow->checks;
  state.counters["check_silence_ms"] = static_cast<double>(follow->silentMs);
  state.counters["longest_check_ms"] = static_cast<double>(follow->longestSilentMs);
  state.counters["search_ms"] = static_cast<double>(follow->searchMs);
  state.counters["no_signal_ms"] = static_cast<double>(figures.noSignalMs);
  state.counters["route_tunnel_ms"] = static_cast<double>(figures.tunnelMs);
  state.counters["silent_ms"] = static_cast<double>(follow->silentMs + figures.noSignalMs);
  if (figures.otherProgrammePolls != 0) {
    state.SkipWithError("the radio played another programme");
  } else if (figures.switches > figures.routeSwitches) {
    state.SkipWithError("more moves than the route needs");
  }
}

const Registration kRegistration([] { AddFigure(20, "DriveSimulated", Drive); });

}  // namespace
}  // namespace bench
