// Runs the benchmarks with repetitions interleaved at random, so that ours and its floor meet
// the same noise, and prints one table of medians: ours, the floor, their ratio and the target.
// The same figures, with the machine they ran on, are merged into the file named by
// --summary_json: the rows of this run replace their earlier figures, the others stay.
//
//   halvane_bench [--all] [--summary_json=FILE] [any --benchmark_* flag]
//
// Without --all or a --benchmark_filter, the long figures (sweeps over conditions, drives) are
// left out. Defaults (each can be overridden by passing the flag): 15 repetitions, 0.05 s per
// repetition, aggregates only, random interleaving.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "bench_pairs.h"
#include "summary.h"

namespace {

// A filter that leaves out the long figures, none of whose names needs quoting in a regex.
std::string WithoutLongFigures() {
  std::string names;
  for (const bench::Figure& f : bench::Figures())
    if (f.length == bench::Length::kLong) names += (names.empty() ? "" : "|") + f.name;
  return names.empty() ? "." : "-^(" + names + ")(/|$)";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args{argv[0]};
  std::vector<std::string> defaults{"--benchmark_repetitions=15", "--benchmark_min_time=0.05",
                                    "--benchmark_report_aggregates_only=true",
                                    "--benchmark_enable_random_interleaving=true"};
  for (auto& d : defaults) args.push_back(d.data());
  std::string summaryPath;
  bool all = false;
  bool filtered = false;
  const std::string summaryFlag = "--summary_json=";
  const std::string filterFlag = "--benchmark_filter=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], summaryFlag.c_str(), summaryFlag.size()) == 0) {
      summaryPath = argv[i] + summaryFlag.size();
    } else if (std::strcmp(argv[i], "--all") == 0) {
      all = true;
    } else {
      filtered = filtered || std::strncmp(argv[i], filterFlag.c_str(), filterFlag.size()) == 0;
      args.push_back(argv[i]);  // later flags win over the defaults above
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

  bench::Registration::RunAll();
  bench::SummaryReporter reporter;
  if (filtered)
    benchmark::RunSpecifiedBenchmarks(&reporter);
  else
    benchmark::RunSpecifiedBenchmarks(&reporter, all ? "." : WithoutLongFigures());
  benchmark::Shutdown();

  const bench::Summary summary = reporter.Collect();
  std::cout << summary.Table();
  if (!summaryPath.empty() && !summary.empty()) {
    // Written beside it and renamed over it, so that a run cut short leaves the file whole.
    const std::string merged = summary.Json(ReadAll(summaryPath));
    const std::string fresh = summaryPath + ".new";
    std::ofstream out(fresh);
    out << merged;
    out.close();
    if (!out || std::rename(fresh.c_str(), summaryPath.c_str()) != 0) {
      std::cerr << "can't write " << summaryPath << "\n";
      return 2;
    }
  }
  return summary.AllMet() ? 0 : 1;
}
