#include "bench_pairs.h"

#include <algorithm>

namespace bench {
namespace {

std::vector<Pair>& PairList() {
  static std::vector<Pair> pairs;
  return pairs;
}

std::vector<Scaling>& ScalingList() {
  static std::vector<Scaling> scalings;
  return scalings;
}

std::vector<Figure>& FigureList() {
  static std::vector<Figure> figures;
  return figures;
}

std::vector<void (*)()>& Pending() {
  static std::vector<void (*)()> pending;
  return pending;
}

template <class T>
void SortByRow(std::vector<T>& v) {
  std::stable_sort(v.begin(), v.end(), [](const T& a, const T& b) { return a.row < b.row; });
}

}  // namespace

void AddPair(Pair pair, Body ours, Body floor) {
  for (auto [side, body] : {std::pair{"/ours", &ours}, std::pair{"/floor", &floor}}) {
    auto* b = benchmark::RegisterBenchmark((pair.name + side).c_str(), *body);
    if (pair.clock == Clock::kReal) b->UseRealTime();
    if (pair.minTimeSeconds > 0) b->MinTime(pair.minTimeSeconds);
    if (pair.clock == Clock::kProcess) b->UseManualTime()->Iterations(1);
    if (pair.repetitions > 0) b->Repetitions(pair.repetitions);
  }
  PairList().push_back(std::move(pair));
  SortByRow(PairList());
}

void AddScaling(int row, std::string name, const std::vector<int>& sizes, Body body) {
  auto* b = benchmark::RegisterBenchmark((name + "/scaling").c_str(), std::move(body));
  for (int n : sizes) b->Arg(n);
  ScalingList().push_back({row, std::move(name), sizes});
  SortByRow(ScalingList());
}

void AddFigure(int row, std::string name, Body body, Length length) {
  benchmark::RegisterBenchmark(name.c_str(), std::move(body))->Iterations(1)->Repetitions(1);
  FigureList().push_back({row, std::move(name), length});
  SortByRow(FigureList());
}

const std::vector<Pair>& Pairs() { return PairList(); }
const std::vector<Scaling>& Scalings() { return ScalingList(); }
const std::vector<Figure>& Figures() { return FigureList(); }

Registration::Registration(void (*add)()) { Pending().push_back(add); }

void Registration::RunAll() {
  for (auto* add : Pending()) add();
  Pending().clear();
}

}  // namespace bench
