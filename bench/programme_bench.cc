// The stations' programmes: (a) the generator's processor time per second of programme, music
// through the General MIDI synthesiser and speech through the speech synthesiser, beside the
// programme's own duration (target: 3 % of one core a station); (b) the time from the radio's
// start to the first sound at its sink on the simulated tuner (target: 0.5 s).
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "audio/audio_sink.h"
#include "band/default_band.h"
#include "band/programme_types.h"
#include "bench_pairs.h"
#include "driver_clock.h"
#include "programme/programme.h"
#include "sim/sim_tuner.h"

namespace bench {
namespace {

namespace programme = halvane::driver::programme;
namespace driver = halvane::driver;

constexpr double kPieceSeconds = 0.1;  // of programme per iteration, as a tuner asks for it
constexpr size_t kPieceSamples = 2 * 4800;

void Generate(benchmark::State& state, programme::Kind kind) {
  programme::Options options;
  options.kind = kind;
  options.style = programme::Style::kJazz;
  options.airS = 30;
  options.name = "Talkline";
  options.texts = {"Talkline: your calls, your views", "The news at six, and then the weather"};
  const std::unique_ptr<programme::Programme> made = programme::MakeProgramme(options);
  std::vector<float> piece(kPieceSamples);
  // The first sentences spoken and the first bars composed count as they come up.
  for (auto _ : state) {
    made->Render(piece);
    benchmark::DoNotOptimize(piece.data());
  }
}

// The programme's duration spent on the processor: the ratio to it is generation time over
// programme time.
void ProgrammeDuration(benchmark::State& state) {
  for (auto _ : state) {
    timespec start{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    const double until = start.tv_sec + start.tv_nsec * 1e-9 + kPieceSeconds;
    for (;;) {
      timespec now{};
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
      if (now.tv_sec + now.tv_nsec * 1e-9 >= until) break;
    }
  }
}

// A sink that notes when the first sound reaches it.
class FirstSound final : public driver::audio::AudioSink {
 public:
  void Write(std::span<const float> interleaved) override {
    for (const float sample : interleaved) {
      if (!heard_ && std::fabs(sample) > 1e-3f) {
        heard_ = true;
        at_ = std::chrono::steady_clock::now();
      }
    }
  }
  void SetTitle(std::string_view) override {}
  bool heard() const { return heard_; }
  std::chrono::steady_clock::time_point at() const { return at_; }

 private:
  bool heard_ = false;
  std::chrono::steady_clock::time_point at_;
};

// The radio started as the plug-in starts it (initialise, mute, tune, unmute), then polled every
// 100 ms on the running clock until its first sound reaches the sink, for each music and speech
// station of the default band.
void StartToFirstSound(benchmark::State& state) {
  double worstS = 0;
  double sumS = 0;
  int stations = 0;
  for (auto _ : state) {
    for (const int32_t frequency : {104'500'000, 97'100'000, 89'300'000, 105'300'000}) {
      FirstSound* sink = nullptr;
      driver::DriverClock clock;
      driver::sim::SimTuner tuner(
          clock,
          [] {
            return driver::band::BandLoad{
                driver::band::DefaultBand(driver::band::ListenersRegion()), 0, {}};
          },
          true,
          [&sink] {
            auto made = std::make_unique<FirstSound>();
            sink = made.get();
            return made;
          });
      const auto start = std::chrono::steady_clock::now();
      tuner.Initialize();
      tuner.SetMute(true);
      tuner.SetFrequency(frequency);
      tuner.StartRds();
      tuner.SetMute(false);
      while (sink != nullptr && !sink->heard() &&
             std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        uint32_t decoder = 0;
        tuner.GetDecoderState(decoder);
      }
      const double seconds = sink != nullptr && sink->heard()
                                 ? std::chrono::duration<double>(sink->at() - start).count()
                                 : 5.0;
      worstS = std::max(worstS, seconds);
      sumS += seconds;
      ++stations;
      tuner.Uninitialize();
    }
  }
  state.counters["start to first sound, worst s (target <= 0.5)"] = worstS;
  state.counters["start to first sound, mean s"] = sumS / stations;
  if (!(worstS <= 0.5)) state.SkipWithError("the first sound came later than 0.5 s after start");
}

const Registration kRegistration([] {
  AddPair(
      {.row = 25,
       .name = "ProgrammeMusic",
       .floor = "the programme's own duration",
       .maxRatio = 0.03},
      [](benchmark::State& state) { Generate(state, programme::Kind::kMusic); }, ProgrammeDuration);
  AddPair(
      {.row = 26,
       .name = "ProgrammeSpeech",
       .floor = "the programme's own duration",
       .maxRatio = 0.03},
      [](benchmark::State& state) { Generate(state, programme::Kind::kSpeech); },
      ProgrammeDuration);
  AddFigure(26, "ProgrammeFirstSound", StartToFirstSound);
});

}  // namespace
}  // namespace bench
