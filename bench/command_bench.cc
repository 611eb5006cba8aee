// Two host calls that reach the driver: "seekup" through the command dispatcher, and the start of
// the radio with a full preset list and programme-type names of the user's own.
#include "bench_pairs.h"
#include "bench_plugin.h"
#include "driver_floor.h"
#include "halvane/driver_contract.h"
#include "preset_files.h"

namespace bench {
namespace {

// A list of the size people keep, none on the tuned frequency, so the dispatcher's closing
// highlight scans it and writes "no row".
constexpr int kEverydayPresets = 30;

void SeekUpOurs(benchmark::State& state) {
  BenchPlugin plugin;
  WriteFileOrThrow(plugin.MainListPath(), PresetListBytes(kEverydayPresets));
  plugin.StartActive();
  std::string command;
  command.reserve(16);
  for (auto _ : state) {
    command = "seekup";
    benchmark::DoNotOptimize(plugin.radio().ProcessCommand(command, plugin.frm));
  }
}

// The five calls of a seek, with its variables: decoding off, search, set, read back, decoding on.
void SeekUpFloor(benchmark::State& state) {
  const char* path = InstantDriverPath().c_str();
  for (auto _ : state) {
    FloorCall<int32_t>(path, HALVANE_FN_RDS_STOP, 0);
    int32_t hz = 87500000;
    uint8_t level = 0;
    FloorCall<int32_t, int32_t*, int32_t, uint8_t*>(path, HALVANE_FN_SEARCH, 0, &hz, 1, &level);
    FloorCall<int32_t, int32_t>(path, HALVANE_FN_SET_FREQUENCY, 0, hz);
    FloorCall<int32_t, int32_t*>(path, HALVANE_FN_GET_FREQUENCY, 0, &hz);
    FloorCall<int32_t>(path, HALVANE_FN_RDS_START, 0);
    benchmark::DoNotOptimize(hz);
  }
}

void WriteStartFiles(BenchPlugin& plugin) {
  WriteFileOrThrow(plugin.MainListPath(), PresetListBytes(kFullStore));
  WriteFileOrThrow(plugin.ConfigDir() + "RDS.ini", RdsNamesBytes());
}

void StartOurs(benchmark::State& state) {
  BenchPlugin plugin;
  WriteStartFiles(plugin);
  for (auto _ : state) {
    state.PauseTiming();
    plugin.radio().StopRadio();  // its save is not timed
    state.ResumeTiming();
    plugin.radio().StartRadio();
  }
  if (!plugin.tuner().radioReady() || plugin.presets().Count() != kFullStore ||
      plugin.component().pty().PtyName(1) != "Programme type 1")
    state.SkipWithError("the radio did not start with its files");
}

// The two files read and split into lines, and the five driver calls of a start: initialise,
// mute, and the tune's decoding off, set and decoding on.
void StartFloor(benchmark::State& state) {
  BenchPlugin plugin;
  WriteStartFiles(plugin);
  const std::string rdsNames = plugin.ConfigDir() + "RDS.ini";
  const char* path = InstantDriverPath().c_str();
  for (auto _ : state) {
    // The same pause as ours takes, so that what it costs counts on both sides.
    state.PauseTiming();
    state.ResumeTiming();
    FloorCall<>(path, HALVANE_FN_INITIALIZE);
    const std::string names = ReadWholeFile(rdsNames);
    benchmark::DoNotOptimize(SplitLinesPlain(names));
    const std::string list = ReadWholeFile(plugin.MainListPath());
    benchmark::DoNotOptimize(SplitLinesPlain(list));
    FloorCall<int32_t, int32_t>(path, HALVANE_FN_VOLUME_MUTE, 0, 1);
    FloorCall<int32_t>(path, HALVANE_FN_RDS_STOP, 0);
    FloorCall<int32_t, int32_t>(path, HALVANE_FN_SET_FREQUENCY, 0, 87500000);
    FloorCall<int32_t>(path, HALVANE_FN_RDS_START, 0);
  }
}

const Registration kRegistration([] {
  AddPair({.row = 8,
           .name = "ProcessCommand seekup",
           .floor = "the five driver floor calls of a seek",
           .maxRatio = 1.5},
          SeekUpOurs, SeekUpFloor);
  AddPair({.row = 9,
           .name = "StartRadio",
           .floor = "read + split Radio.ini and RDS.ini, five driver floor calls",
           .maxRatio = 1.5},
          StartOurs, StartFloor);
});

}  // namespace
}  // namespace bench
