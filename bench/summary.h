// Collects the medians of every benchmark as runs are reported, and turns them into the table
// that scripts/bench prints and the JSON it keeps.
#ifndef HALVANE_BENCH_SUMMARY_H
#define HALVANE_BENCH_SUMMARY_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

// One benchmark's median over its repetitions, in nanoseconds per iteration.
struct Measured {
  double realNs = 0;
  double cpuNs = 0;
  std::map<std::string, double> counters;
  std::string error;  // why the benchmark skipped, "" when it ran
  bool seen = false;
};

struct Machine {
  std::string cpu;
  int cpus = 0;
  double mhz = 0;
  std::string kernel;
  std::string date;  // UTC, when the run began
  int repetitions = 0;
};

class Summary {
 public:
  Summary(Machine machine, std::map<std::string, Measured> runs)
      : machine_(std::move(machine)), runs_(std::move(runs)) {}
  // Nothing was measured (the benchmarks were listed, or the filter matched none).
  bool empty() const { return runs_.empty(); }
  std::string Table() const;
  // The results file: the machine of this run, then every row registered, each on a line of its
  // own with the date it was measured. A row this run left out keeps its line from `earlier`
  // (an earlier results file, as this function wrote it), if it has one there.
  std::string Json(std::string_view earlier = {}) const;
  bool AllMet() const;

 private:
  struct Row {
    std::string name, floor;
    double ours = 0, floorNs = 0, ratio = 0, maxRatio = 0, budgetMicros = 0;
    const char* clock = "cpu";
    std::string error;
    bool met = false;
  };
  std::vector<Row> Rows() const;
  const Measured* Find(const std::string& name) const;

  Machine machine_;
  std::map<std::string, Measured> runs_;  // by "<name>" or "<name>/<argument>"
};

// Shows progress on the error stream and keeps each benchmark's median.
class SummaryReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context& context) override;
  void ReportRuns(const std::vector<Run>& reports) override;
  Summary Collect() const { return Summary(machine_, runs_); }

 private:
  Machine machine_;
  std::map<std::string, Measured> runs_;
};

// "612 ns", "12.4 µs", "3.21 ms".
std::string FormatDuration(double ns);

}  // namespace bench

#endif
