// Runs every benchmark with repetitions interleaved at random, so that ours and its floor meet
// the same noise, and prints one table of medians: ours, the floor, their ratio and the target.
// The same figures, with the machine they ran on, go to the file named by --summary_json.
//
//   halvane_bench [--summary_json=FILE] [any --benchmark_* flag]
//
// Defaults (each can be overridden by passing the flag): 15 repetitions, 0.05 s per repetition,
// aggregates only, random interleaving.
#include <benchmark/benchmark.h>
#include <sys/utsname.h>

#include <cstring>
#include <fstream>
#include <iostream>

#include "bench_pairs.h"
#include "summary.h"

int main(int argc, char** argv) {
  std::vector<char*> args{argv[0]};
  std::vector<std::string> defaults{"--benchmark_repetitions=15", "--benchmark_min_time=0.05",
                                    "--benchmark_report_aggregates_only=true",
                                    "--benchmark_enable_random_interleaving=true"};
  for (auto& d : defaults) args.push_back(d.data());
  std::string summaryPath;
  const std::string summaryFlag = "--summary_json=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], summaryFlag.c_str(), summaryFlag.size()) == 0) {
      summaryPath = argv[i] + summaryFlag.size();
    } else {
      args.push_back(argv[i]);  // later flags win over the defaults above
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

  bench::Registration::RunAll();
  bench::SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const bench::Summary summary = reporter.Collect();
  std::cout << summary.Table();
  if (!summaryPath.empty()) {
    std::ofstream out(summaryPath);
    out << summary.Json();
    if (!out) {
      std::cerr << "can't write " << summaryPath << "\n";
      return 2;
    }
  }
  return summary.AllMet() ? 0 : 1;
}
