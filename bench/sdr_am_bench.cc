// The SDR receiver on AM: (a) the programme's signal-to-noise ratio (a 1 kHz tone at 50 % against
// everything else from 50 Hz to 5 kHz) on a clean and a weak station, beside a neighbour 9 kHz
// away 20 dB stronger, through impulse noise and through selective fading, beside a plain AM
// receiver (a 5 kHz channel filter and an envelope detector) on the same samples; (b) the AM
// chain's cost at 1.024 MS/s on one core, beside the signal's own duration; (c) what an AM
// station of the synthetic band costs to send with its programme (music made and fed in), for
// reference beside the same.
#include <benchmark/benchmark.h>
#include <time.h>

#include <cmath>
#include <complex>
#include <memory>
#include <string>
#include <vector>

#include "bench_pairs.h"
#include "sdr/am_broadcast.h"
#include "sdr/dsp/am_receiver.h"
#include "sdr/liquid_objects.h"
#include "sdr/sources/am_transmitter.h"
#include "sdr/sources/programme_feed.h"

namespace bench {
namespace {

namespace sdr = halvane::driver::sdr;

constexpr double kRate = 1'024'000;
constexpr double kSettleS = 1.5;
constexpr double kMeasureS = 5.5;

// The tone's power (within 10 Hz of 1 kHz) against the rest from 50 Hz to 5 kHz, in dB.
double ToneSnrDb(std::vector<float> audio, double rate) {
  size_t n = 1;
  while (n * 2 <= audio.size()) n *= 2;
  audio.resize(n);
  std::vector<std::complex<float>> in(n), out(n);
  for (size_t i = 0; i < n; ++i) {
    const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(i) / n);
    in[i] = static_cast<float>(audio[i] * hann);
  }
  fftplan plan =
      fft_create_plan(static_cast<unsigned>(n), in.data(), out.data(), LIQUID_FFT_FORWARD, 0);
  fft_execute(plan);
  fft_destroy_plan(plan);
  double tone = 0;
  double rest = 0;
  for (size_t k = 1; k < n / 2; ++k) {
    const double hz = static_cast<double>(k) * rate / static_cast<double>(n);
    const double power = std::norm(out[k]);
    if (std::fabs(hz - 1000) <= 10) {
      tone += power;
    } else if (hz >= 50 && hz <= 5000) {
      rest += power;
    }
  }
  return 10 * std::log10(tone / std::max(rest, 1e-30));
}

// A plain AM receiver: a 5 kHz low-pass channel filter (Hamming window, 5 kHz transition) down
// to 32 kHz, the envelope, its mean taken away.
class PlainReceiver {
 public:
  PlainReceiver() {
    constexpr unsigned kDecimation = 32;
    const unsigned taps = static_cast<unsigned>(3.3 * kRate / 5'000) | 1;
    std::vector<float> h(taps);
    const double cutoff = 5'000 / kRate;
    double sum = 0;
    for (unsigned i = 0; i < taps; ++i) {
      const double x = static_cast<double>(i) - (taps - 1) / 2.0;
      const double sinc = x == 0 ? 2 * cutoff : std::sin(2 * M_PI * cutoff * x) / (M_PI * x);
      const double hamming = 0.54 - 0.46 * std::cos(2 * M_PI * i / (taps - 1));
      h[i] = static_cast<float>(sinc * hamming);
      sum += h[i];
    }
    for (float& tap : h) tap = static_cast<float>(tap / sum);
    decimator_ = sdr::ComplexDecimator(firdecim_crcf_create(kDecimation, h.data(), taps));
  }
  static constexpr double kAudioRate = kRate / 32;

  void Process(std::span<const sdr::Complex> iq, std::vector<float>& audio) {
    for (size_t i = 0; i + 32 <= iq.size(); i += 32) {
      sdr::Complex y;
      firdecim_crcf_execute(decimator_.get(), const_cast<sdr::Complex*>(&iq[i]), &y);
      const float envelope = std::abs(y);
      mean_ += 0.001f * (envelope - mean_);
      audio.push_back(envelope - mean_);
    }
  }

 private:
  sdr::ComplexDecimator decimator_;
  float mean_ = 0;
};

struct Case {
  const char* name;
  double cnrDb;  // over 1.024 MHz
  bool neighbour = false;
  bool clicks = false;
  bool fading = false;
  double target;  // ours must reach this
};

sdr::AmTransmitterOptions Options(const Case& c) {
  sdr::AmTransmitterOptions options;
  options.tone = {1000, true, true, 0.5};
  options.sampleRate = kRate;
  options.carrierOffsetHz = kRate / 4;
  options.cnrDb = c.cnrDb;
  options.noiseBandwidthHz = kRate;
  options.seed = 7;
  if (c.neighbour) options.neighbours.push_back({9'000, 20, {400, true, true, 0.5}, 1.0});
  if (c.clicks) options.clicksPerSecond = 20;
  if (c.fading) options.skyWave = sdr::SkyWave{};
  return options;
}

struct Snr {
  double ours;
  double plain;
};

Snr Measure(const Case& c) {
  sdr::AmTransmitter transmitter(Options(c));
  sdr::AmReceiver ours(kRate);
  ours.Tune(kRate / 4);
  PlainReceiver plain;
  std::vector<sdr::Complex> iq(static_cast<size_t>(kRate / 100));
  std::vector<sdr::Complex> centred(iq.size());
  std::vector<float> stereo, oursAudio, plainAudio;
  const int pieces = static_cast<int>((kSettleS + kMeasureS) * 100);
  double phase = 0;
  for (int piece = 0; piece < pieces; ++piece) {
    transmitter.Generate(iq);
    stereo.clear();
    ours.Process(iq, stereo);
    // The plain receiver is handed the station at the centre.
    for (size_t i = 0; i < iq.size(); ++i) {
      centred[i] = iq[i] * std::polar(1.0f, static_cast<float>(-2 * M_PI * phase));
      phase += 0.25;
      phase -= std::floor(phase);
    }
    const size_t plainBefore = plainAudio.size();
    plain.Process(centred, plainAudio);
    if (piece < kSettleS * 100) {
      plainAudio.resize(plainBefore);
      continue;
    }
    for (size_t i = 0; i < stereo.size(); i += 2) oursAudio.push_back(stereo[i]);
  }
  return {ToneSnrDb(oursAudio, 48'000), ToneSnrDb(plainAudio, PlainReceiver::kAudioRate)};
}

void AmSnr(benchmark::State& state) {
  const Case cases[] = {
      {"clean (C/N 40)", 40, false, false, false, 50},
      {"weak (C/N 20)", 20, false, false, false, 34},
      {"neighbour 9 kHz +20 dB", 40, true, false, false, 30},
      {"20 clicks a second", 40, false, true, false, 35},
      {"selective fading", 40, false, false, true, 15},
  };
  std::vector<Snr> results;
  for (auto _ : state) {
    results.clear();
    for (const Case& c : cases) results.push_back(Measure(c));
  }
  std::string failed;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string name = cases[i].name;
    state.counters[name + ": SNR dB"] = results[i].ours;
    state.counters[name + ": plain receiver dB"] = results[i].plain;
    state.counters[name + ": target dB"] = cases[i].target;
    if (!(results[i].ours >= cases[i].target)) failed += (failed.empty() ? "" : ", ") + name;
  }
  if (!failed.empty()) state.SkipWithError(("below target: " + failed).c_str());
}

constexpr double kChainSeconds = 0.1;

void AmChain(benchmark::State& state) {
  sdr::AmTransmitterOptions options = Options({"", 30, true, true, false, 0});
  sdr::AmTransmitter transmitter(options);
  std::vector<sdr::Complex> iq(static_cast<size_t>(kRate));
  transmitter.Generate(iq);
  sdr::AmReceiver receiver(kRate);
  receiver.Tune(kRate / 4);
  std::vector<float> audio;
  const size_t piece = static_cast<size_t>(kRate / 100);
  const size_t perIteration = static_cast<size_t>(kRate * kChainSeconds);
  size_t at = 0;
  for (auto _ : state) {
    for (size_t done = 0; done < perIteration; done += piece) {
      if (at + piece > iq.size()) at = 0;
      audio.clear();
      receiver.Process(std::span(iq).subspan(at, piece), audio);
      at += piece;
    }
    benchmark::DoNotOptimize(audio.data());
  }
}

void AmStationOnAir(benchmark::State& state) {
  halvane::driver::programme::Options music;
  music.stereo = false;
  sdr::AmTransmitterOptions options;
  options.sampleRate = kRate;
  options.depth = 0.9;
  options.programme = std::make_shared<sdr::ProgrammeFeed>(music, 0, true);
  sdr::AmTransmitter transmitter(options);
  std::vector<sdr::Complex> iq(static_cast<size_t>(kRate * kChainSeconds));
  for (auto _ : state) {
    transmitter.Add(iq);
    benchmark::DoNotOptimize(iq.data());
  }
}

void SignalDuration(benchmark::State& state) {
  for (auto _ : state) {
    timespec start{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    const double until = start.tv_sec + start.tv_nsec * 1e-9 + kChainSeconds;
    for (;;) {
      timespec now{};
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
      if (now.tv_sec + now.tv_nsec * 1e-9 >= until) break;
    }
  }
}

const Registration kRegistration([] {
  AddPair({.row = 24,
           .name = "SdrAmChain1024k",
           .floor = "the signal's own duration",
           .maxRatio = 0.03},
          AmChain, SignalDuration);
  AddFigure(24, "SdrAmSnr", AmSnr);
  AddPair(
      {.row = 24, .name = "SdrAmOnAir1024k", .floor = "the signal's own duration", .maxRatio = 0},
      AmStationOnAir, SignalDuration);
});

}  // namespace
}  // namespace bench
