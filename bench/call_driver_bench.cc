// The call gate on its own, and the status tick that makes three calls through it.
#include "bench_pairs.h"
#include "bench_plugin.h"
#include "driver_floor.h"
#include "halvane/driver_contract.h"
#include "tuner/call_driver.h"

namespace bench {
namespace {

using halvane::DriverArg;

constexpr int32_t kStationHz = 87500000;

void CallDriverOurs(benchmark::State& state) {
  const std::string& path = InstantDriverPath();
  for (auto _ : state) {
    // A fresh argument list per call, as every caller of the gate builds one.
    const DriverArg args[] = {DriverArg::Number(0), DriverArg::Number(kStationHz)};
    benchmark::DoNotOptimize(halvane::CallDriver(path, HALVANE_FN_SET_FREQUENCY, args));
  }
}

void CallDriverFloor(benchmark::State& state) {
  const char* path = InstantDriverPath().c_str();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        FloorCall<int32_t, int32_t>(path, HALVANE_FN_SET_FREQUENCY, 0, kStationHz));
}

void PollStatusOurs(benchmark::State& state) {
  BenchPlugin plugin;
  plugin.StartActive();
  for (auto _ : state) plugin.tuner().PollStatus();
  benchmark::DoNotOptimize(plugin.tuner().rdsData());
}

// The three calls of a tick with the same variables, results used the same way.
void PollStatusFloor(benchmark::State& state) {
  const char* path = InstantDriverPath().c_str();
  int32_t currentFreq = 0;
  int16_t decoderLevel = 0;
  RdsRecord record{};
  bool valid = false;
  for (auto _ : state) {
    int32_t hz = 0;
    if (FloorCall<int32_t, int32_t*>(path, HALVANE_FN_GET_FREQUENCY, 0, &hz) == 0)
      currentFreq = hz / 10000;
    uint32_t decoder = 0;
    if (FloorCall<int32_t, uint32_t*>(path, HALVANE_FN_DECODER_STATE, 0, &decoder) == 0)
      decoderLevel = static_cast<int16_t>(decoder & 0x0F);
    valid = FloorCall<int32_t, RdsRecord*>(path, HALVANE_FN_EVAL_DATA, 0, &record) == 0;
    benchmark::DoNotOptimize(currentFreq);
    benchmark::DoNotOptimize(decoderLevel);
    benchmark::DoNotOptimize(valid);
  }
  benchmark::DoNotOptimize(record);
}

const Registration kRegistration([] {
  AddPair({.row = 1,
           .name = "CallDriver",
           .floor = "dlopen + dlsym + direct call of radioSetFrequency(0, 87500000)",
           .maxRatio = 1.3},
          CallDriverOurs, CallDriverFloor);
  AddPair({.row = 2,
           .name = "PollStatus",
           .floor = "three such floor calls, results stored",
           .maxRatio = 1.3},
          PollStatusOurs, PollStatusFloor);
});

}  // namespace
}  // namespace bench
