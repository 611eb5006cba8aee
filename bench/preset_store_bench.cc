// Loading and saving the preset list at its largest, the time per preset as the list grows, and
// the heap the store keeps per preset.
#include <malloc.h>

#include "bench_pairs.h"
#include "bench_plugin.h"
#include "preset_files.h"

namespace bench {
namespace {

const std::vector<int> kSizes{1000, 4000, 16000, kFullStore};

void CheckLoaded(benchmark::State& state, BenchPlugin& plugin, int count) {
  if (plugin.presets().Count() != count) state.SkipWithError("the list did not load in full");
}

void LoadOurs(benchmark::State& state, int count, bool decoded = false) {
  BenchPlugin plugin;
  WriteFileOrThrow(plugin.MainListPath(),
                   decoded ? PresetListBytes1252(count) : PresetListBytes(count));
  for (auto _ : state) benchmark::DoNotOptimize(plugin.presets().LoadPresets(""));
  CheckLoaded(state, plugin, count);
}

void LoadFloor(benchmark::State& state) {
  BenchPlugin plugin;
  WriteFileOrThrow(plugin.MainListPath(), PresetListBytes(kFullStore));
  for (auto _ : state) {
    const std::string bytes = ReadWholeFile(plugin.MainListPath());
    benchmark::DoNotOptimize(SplitLinesPlain(bytes));
  }
}

void SaveOurs(benchmark::State& state) {
  BenchPlugin plugin;
  WriteFileOrThrow(plugin.MainListPath(), PresetListBytes(kFullStore));
  plugin.presets().LoadPresets("");
  CheckLoaded(state, plugin, kFullStore);
  for (auto _ : state) plugin.presets().SavePresets();
}

// The bytes a save writes, taken from a save, replaced the crash-safe way beside the list.
void SaveFloorWith(benchmark::State& state, void (*replace)(const std::string&, std::string_view)) {
  BenchPlugin plugin;
  WriteFileOrThrow(plugin.MainListPath(), PresetListBytes(kFullStore));
  plugin.presets().LoadPresets("");
  plugin.presets().SavePresets();
  const std::string bytes = ReadWholeFile(plugin.MainListPath());
  const std::string path = plugin.CacheDir() + "Floor.ini";
  for (auto _ : state) replace(path, bytes);
}

// Bytes in use on the heap, blocks the allocator mapped on their own (large arrays) included.
size_t HeapInUse() {
  const struct mallinfo2 info = ::mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Heap in use by the full store, over the empty store, against the text it holds.
void StoreHeap(benchmark::State& state) {
  BenchPlugin plugin;
  WriteFileOrThrow(plugin.MainListPath(), PresetListBytes(kFullStore));
  plugin.presets().ResetPresets();
  for (auto _ : state) {
    const size_t before = HeapInUse();
    plugin.presets().LoadPresets("");
    const size_t after = HeapInUse();
    state.counters["heap_bytes_per_preset"] =
        static_cast<double>(after - before) / static_cast<double>(kFullStore);
  }
  CheckLoaded(state, plugin, kFullStore);
  state.counters["text_bytes_per_preset"] =
      static_cast<double>(PresetTextBytes(kFullStore)) / static_cast<double>(kFullStore);
}

const Registration kRegistration([] {
  AddPair(
      {.row = 4,
       .name = "LoadPresets",
       .floor = "read the same file, split it into lines",
       .maxRatio = 2.0},
      [](benchmark::State& s) { LoadOurs(s, kFullStore); }, LoadFloor);
  // The save flushes the folder after the rename, so that a saved list survives a crash that
  // follows at once: its floor does the same. The floor without that flush is shown beside it.
  AddPair({.row = 5,
           .name = "SavePresets",
           .floor = "write the same bytes to a new file, fsync, rename, fsync the folder",
           .maxRatio = 1.2,
           .clock = Clock::kReal,
           .minTimeSeconds = 0.2},
          SaveOurs, [](benchmark::State& s) { SaveFloorWith(s, ReplaceFileDurably); });
  AddPair({.row = 5,
           .name = "SavePresets plain",
           .floor = "the same without flushing the folder (reference)",
           .maxRatio = 0,
           .clock = Clock::kReal,
           .minTimeSeconds = 0.2},
          SaveOurs, [](benchmark::State& s) { SaveFloorWith(s, ReplaceFile); });
  AddScaling(1, "LoadPresets", kSizes,
             [](benchmark::State& s) { LoadOurs(s, static_cast<int>(s.range(0))); });
  // Every line decoded and its preset written at the store text's end.
  AddScaling(1, "LoadPresets 1252", kSizes,
             [](benchmark::State& s) { LoadOurs(s, static_cast<int>(s.range(0)), true); });
  AddFigure(1, "PresetStoreHeap", StoreHeap);
});

}  // namespace
}  // namespace bench
