// A drive through a network of four transmitters of one programme (driver/sim/drive.ini: twelve
// minutes, a tunnel, a strong station of another programme wrongly listed as an alternative),
// played on the simulated tuner with its manual clock and polled every 100 ms as the plug-in
// polls. Figures: the moves the radio made against those the route needs, polls on another
// programme (must be 0), and the time the listener heard nothing: checks of alternatives, and
// the tunnel where no transmitter is received at all.
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

struct DriveFigures {
  int switches = 0;
  int routeSwitches = 0;  // moves between the programme's transmitters the route calls for
  int otherProgrammePolls = 0;
  int64_t noSignalMs = 0;  // tuned transmitter not received at all
};

// How many times the programme's strongest transmitter changes along the route.
int RouteSwitches(const band::Band& network) {
  int changes = 0;
  const band::Station* best = nullptr;
  for (int64_t t = 0; t <= kDriveMs; t += kPollMs) {
    const band::Station* now = best;
    for (const band::Station& station : network.stations) {
      if (station.pi != kProgramme) continue;
      if (now == nullptr || station.LevelAt(t) < now->LevelAt(t)) now = &station;
    }
    if (best != nullptr && now != best) ++changes;
    best = now;
  }
  return changes;
}

void Drive(benchmark::State& state) {
  const band::BandLoad load = band::LoadBandFile(HALVANE_DRIVE_FILE);
  if (!load.band) {
    state.SkipWithError(("drive.ini: " + load.message).c_str());
    return;
  }
  DriveFigures figures;
  figures.routeSwitches = RouteSwitches(*load.band);
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
      if (station == nullptr || station->pi != kProgramme) ++figures.otherProgrammePolls;
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
  state.counters["no_signal_ms"] = static_cast<double>(figures.noSignalMs);
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
