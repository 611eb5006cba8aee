// The host's preset list: finding the current preset after every command, and redrawing the
// list, at the largest store and as the store grows.
#include <charconv>

#include "bench_pairs.h"
#include "bench_plugin.h"
#include "preset_files.h"

namespace bench {
namespace {

const std::vector<int> kSizes{1000, 4000, 16000, kFullStore};

// An active plug-in with `count` presets, none of them on the tuned frequency.
void Prepare(BenchPlugin& plugin, int count) {
  WriteFileOrThrow(plugin.MainListPath(), PresetListBytes(count));
  plugin.StartActive();
  if (plugin.presets().Count() != count) throw std::runtime_error("presets did not load");
}

// The numbers a scan compares, as the store keeps them for its readings.
std::vector<double> Frequencies(BenchPlugin& plugin) {
  std::vector<double> values;
  const int count = plugin.presets().Count();
  for (int i = 1; i <= count; ++i)
    values.push_back(plugin.presets().FrequencyOf(static_cast<int16_t>(i)));
  return values;
}

void SelectOurs(benchmark::State& state, int count) {
  BenchPlugin plugin;
  Prepare(plugin, count);
  for (auto _ : state) plugin.presets().SelectCurrentPreset(plugin.frm);
  if (plugin.presets().currentPreset() != 0) state.SkipWithError("a preset matched");
}

void SelectFloor(benchmark::State& state) {
  BenchPlugin plugin;
  Prepare(plugin, kFullStore);
  const std::vector<double> values = Frequencies(plugin);
  const double tuned = plugin.tuner().currentFreq();
  const auto count = static_cast<int32_t>(values.size());
  for (auto _ : state) {
    int32_t found = 0;  // the last match wins, as in the store
    for (int32_t i = 0; i < count; ++i)
      if (values[i] == tuned) found = i + 1;
    benchmark::DoNotOptimize(found);
  }
}

void FillOurs(benchmark::State& state, int count) {
  BenchPlugin plugin;
  Prepare(plugin, count);
  for (auto _ : state) plugin.presets().FillPresetList(plugin.frm);
}

// "<n>. <MHz with one decimal> - <name>", one new string per row as each goes to the host.
std::string FormatRow(int n, double value, std::string_view name) {
  char buf[64];
  char* end = std::to_chars(buf, buf + sizeof buf, n).ptr;
  *end++ = '.';
  *end++ = ' ';
  end = std::to_chars(end, buf + sizeof buf, value / 100, std::chars_format::fixed, 1).ptr;
  std::string row;
  row.reserve(static_cast<size_t>(end - buf) + 3 + name.size());
  row.append(buf, end).append(" - ").append(name);
  return row;
}

void FillFloor(benchmark::State& state) {
  BenchPlugin plugin;
  Prepare(plugin, kFullStore);
  const std::vector<double> values = Frequencies(plugin);
  const halvane::PresetTable& names = plugin.presets().table();
  // The floor must make the texts the list shows, or it measures something else.
  for (int n : {1, 2, kFullStore}) {
    if (FormatRow(n, values[n - 1], names.Name(static_cast<size_t>(n))) !=
        plugin.presets().RowText(static_cast<int16_t>(n)))
      state.SkipWithError("the floor's rows differ from the list's");
  }
  for (auto _ : state) {
    for (size_t i = 0; i < values.size(); ++i)
      benchmark::DoNotOptimize(FormatRow(static_cast<int>(i) + 1, values[i], names.Name(i + 1)));
  }
}

const Registration kRegistration([] {
  AddPair(
      {.row = 6,
       .name = "SelectCurrentPreset",
       .floor = "linear scan comparing 32767 numbers",
       .maxRatio = 3.0},
      [](benchmark::State& s) { SelectOurs(s, kFullStore); }, SelectFloor);
  AddPair(
      {.row = 7, .name = "FillPresetList", .floor = "format the 32767 row texts", .maxRatio = 2.0},
      [](benchmark::State& s) { FillOurs(s, kFullStore); }, FillFloor);
  AddScaling(2, "SelectCurrentPreset", kSizes,
             [](benchmark::State& s) { SelectOurs(s, static_cast<int>(s.range(0))); });
  AddScaling(3, "FillPresetList", kSizes,
             [](benchmark::State& s) { FillOurs(s, static_cast<int>(s.range(0))); });
});

}  // namespace
}  // namespace bench
