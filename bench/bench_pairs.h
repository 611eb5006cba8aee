// The table the benchmarks fill: each row is one call of the plug-in measured beside its floor,
// the least work any implementation of the same behaviour must do, with the ratio it must stay
// under. Rows also hold the scaling runs (time per preset at several store sizes) and plain
// figures such as the store's heap per preset.
#ifndef HALVANE_BENCH_BENCH_PAIRS_H
#define HALVANE_BENCH_BENCH_PAIRS_H

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace bench {

using Body = std::function<void(benchmark::State&)>;

// Which clock a row is judged by. Thread CPU time for work that stays on the processor, so that
// other processes on a shared machine do not count; wall time where the call waits on the disk.
// kProcess: the CPU time of a child process over a period, which the benchmark reports itself.
enum class Clock { kCpu, kReal, kProcess };

struct Pair {
  int row;                  // position in the table
  std::string name;         // "CallDriver"
  std::string floor;        // what the floor does, in a few words
  double maxRatio;          // ours / floor, medians; 0 for a row shown for reference only
  double budgetMicros = 0;  // an absolute limit on our median besides the ratio; 0 for none
  Clock clock = Clock::kCpu;
  double minTimeSeconds = 0;  // per repetition; 0 takes the run's default
  int repetitions = 0;        // 0 takes the run's default
};

// Registers "<name>/ours" and "<name>/floor".
void AddPair(Pair pair, Body ours, Body floor);

// A scaling run: "<name>/scaling/<n>" for each store size, judged as time per preset.
void AddScaling(int row, std::string name, const std::vector<int>& sizes, Body body);

// How long a figure takes to measure. kLong: a sweep over conditions or a drive, minutes each,
// which a run leaves out unless it is asked for everything (--all) or names them in its filter.
enum class Length { kShort, kLong };

// A figure computed once and shown as it is (counters of a single iteration).
void AddFigure(int row, std::string name, Body body, Length length = Length::kShort);

const std::vector<Pair>& Pairs();
struct Scaling {
  int row;
  std::string name;
  std::vector<int> sizes;
};
const std::vector<Scaling>& Scalings();
struct Figure {
  int row;
  std::string name;
  Length length = Length::kShort;
};
const std::vector<Figure>& Figures();

// Collects the registrations of every benchmark file; main runs them once flags are read, so
// that no registration depends on the order in which files are initialised.
class Registration {
 public:
  explicit Registration(void (*add)());
  static void RunAll();
};

}  // namespace bench

#endif
