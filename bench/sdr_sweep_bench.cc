// The SDR receiver against what was sent: a carrier-to-noise sweep through the whole chain with
// the transmitter model, and strong neighbours 200 kHz away. For each point it counts the groups
// decoded, the groups whose usable blocks match no group that was sent, the polls (every 100 ms,
// as the plug-in's) that would show a wrong PS, RadioText or programme-type character, those that
// would show a name or text only in part (never: both show whole or not at all), and the seconds
// until the whole PS and RadioText first show. A figure, not a timing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "bench_pairs.h"
#include "rds/record_writer.h"
#include "sdr/broadcast.h"
#include "sdr/dsp/receiver.h"
#include "sdr/sources/transmitter.h"
#include "sim/programme_schedule.h"

namespace bench {
namespace {

namespace sdr = halvane::driver::sdr;
namespace rds = halvane::driver::rds;
using halvane::driver::band::RdsProgramme;

constexpr double kRate = 1'024'000;
// The sweep states C/N over the whole 1.024 MHz; the model takes it over 200 kHz.
const double kSpanToChannelDb = 10 * std::log10(kRate / sdr::kNoiseBandwidthHz);
constexpr int kSeeds = 3;
constexpr double kNotShown = -1;  // seconds: not complete within the run

RdsProgramme Station(const char* ps, uint16_t pi, uint8_t pty, const char* rt) {
  RdsProgramme programme;
  programme.pi = pi;
  programme.pty = pty;
  programme.tp = true;
  std::copy_n(ps, 8, programme.ps.begin());
  const std::string text = rt;
  programme.radiotexts.push_back(std::vector<uint8_t>(text.begin(), text.end()));
  return programme;
}

const RdsProgramme kWanted = Station("YLE X3M ", 0x6201, 10, "Sekoituksen klassikoita koko paivan");
const RdsProgramme kNeighbour =
    Station("NEIGHBR ", 0x6305, 5, "The station next door, much louder");

struct Outcome {
  uint64_t groups = 0;
  uint64_t wrongGroups = 0;
  uint64_t wrongPolls = 0;
  uint64_t partialPolls = 0;
  double psSeconds = kNotShown;
  double rtSeconds = kNotShown;
};

// Every group the wanted station sends in `seconds`, as blocks.
std::set<std::array<uint16_t, 4>> SentGroups(double seconds) {
  std::set<std::array<uint16_t, 4>> sent;
  const auto groups = static_cast<uint64_t>(seconds * sdr::kRdsBitRate / 104) + 2;
  for (uint64_t n = 0; n < groups; ++n) {
    const rds::Group group = halvane::driver::sim::ProgrammeGroup(kWanted, true, n);
    sent.insert({group[0], group[1], group[2], group[3]});
  }
  return sent;
}

bool Sent(const rds::ReceivedGroup& group, const std::set<std::array<uint16_t, 4>>& sent) {
  return std::any_of(sent.begin(), sent.end(), [&](const std::array<uint16_t, 4>& blocks) {
    for (size_t i = 0; i < 4; ++i) {
      if (group.usable[i] && group.blocks[i] != blocks[i]) return false;
    }
    return true;
  });
}

bool WrongShown(const RdsRecord& record) {
  for (size_t i = 0; i < 8; ++i) {
    if (record.ps[i] != ' ' && record.ps[i] != kWanted.ps[i]) return true;
  }
  const std::vector<uint8_t>& text = kWanted.radiotexts.front();
  for (size_t i = 0; i < 64; ++i) {
    const uint8_t expected = i < text.size() ? text[i] : ' ';
    if (record.rt[i] != ' ' && record.rt[i] != expected) return true;
  }
  return record.pty != 0 && record.pty != kWanted.pty;
}

// A name or text neither blank nor the whole one sent.
bool PartShown(const RdsRecord& record) {
  const auto blank = [](const auto first, const auto last) {
    return std::all_of(first, last, [](char c) { return c == ' '; });
  };
  const std::vector<uint8_t>& text = kWanted.radiotexts.front();
  const bool wholeText = std::equal(text.begin(), text.end(), record.rt);
  return !(blank(record.ps, record.ps + 8) ||
           std::equal(record.ps, record.ps + 8, kWanted.ps.begin())) ||
         !(blank(record.rt, record.rt + 64) || wholeText);
}

Outcome Receive(double cnrOverSpanDb, uint64_t seed, double seconds,
                const std::vector<sdr::Neighbour>& neighbours) {
  sdr::TransmitterOptions options;
  options.multiplex.rds = kWanted;
  options.neighbours = neighbours;
  options.sampleRate = kRate;
  options.carrierOffsetHz = 1500;
  options.clockErrorPpm = 40;
  options.cnrDb = cnrOverSpanDb + kSpanToChannelDb;
  options.seed = seed;
  sdr::Transmitter transmitter(options);
  sdr::Receiver receiver({kRate, 50});
  receiver.Tune(0);
  const std::set<std::array<uint16_t, 4>> sent = SentGroups(seconds + 1);
  Outcome outcome;
  receiver.TapGroups([&](const rds::ReceivedGroup& group) {
    if (group.UnusableCount() == 4) return;
    ++outcome.groups;
    if (!Sent(group, sent)) ++outcome.wrongGroups;
  });
  const std::string ps(kWanted.ps.begin(), kWanted.ps.end());
  const std::vector<uint8_t>& rt = kWanted.radiotexts.front();
  std::vector<sdr::Complex> iq(static_cast<size_t>(kRate / 10));  // 100 ms, a poll's worth
  std::vector<float> audio;
  for (int64_t ms = 100; ms <= static_cast<int64_t>(seconds * 1000); ms += 100) {
    transmitter.Generate(iq);
    audio.clear();
    receiver.Process(iq, ms, true, audio);
    const rds::RdsMonitor& monitor = receiver.monitor();
    if (!monitor.decoder().HasData() || !monitor.HasFreshData(ms)) continue;
    const RdsRecord record = rds::MakeRecord(monitor.decoder().data());
    if (WrongShown(record)) ++outcome.wrongPolls;
    if (PartShown(record)) ++outcome.partialPolls;
    const double at = static_cast<double>(ms) / 1000;
    if (outcome.psSeconds == kNotShown && std::equal(ps.begin(), ps.end(), record.ps)) {
      outcome.psSeconds = at;
    }
    if (outcome.rtSeconds == kNotShown && std::equal(rt.begin(), rt.end(), record.rt)) {
      outcome.rtSeconds = at;
    }
  }
  return outcome;
}

// Over the seeds: the counts added up, the slowest time (not shown if any seed never showed it).
Outcome OverSeeds(double cnrDb, double seconds, const std::vector<sdr::Neighbour>& neighbours) {
  Outcome total;
  total.psSeconds = total.rtSeconds = 0;
  for (uint64_t seed = 1; seed <= kSeeds; ++seed) {
    const Outcome one = Receive(cnrDb, seed * 7919, seconds, neighbours);
    total.groups += one.groups;
    total.wrongGroups += one.wrongGroups;
    total.wrongPolls += one.wrongPolls;
    total.partialPolls += one.partialPolls;
    for (auto [all, each] :
         {std::pair{&total.psSeconds, one.psSeconds}, std::pair{&total.rtSeconds, one.rtSeconds}}) {
      *all = *all == kNotShown || each == kNotShown ? kNotShown : std::max(*all, each);
    }
  }
  return total;
}

void Report(benchmark::State& state, const std::string& point, const Outcome& outcome) {
  state.counters[point + ": groups"] = static_cast<double>(outcome.groups);
  state.counters[point + ": wrong groups"] = static_cast<double>(outcome.wrongGroups);
  state.counters[point + ": wrong polls"] = static_cast<double>(outcome.wrongPolls);
  state.counters[point + ": partial polls"] = static_cast<double>(outcome.partialPolls);
  state.counters[point + ": PS s"] = outcome.psSeconds;
  state.counters[point + ": RT s"] = outcome.rtSeconds;
}

constexpr double kSweepSeconds = 20;
constexpr double kNeighbourSeconds = 8;
constexpr double kNeighbourCnrDb = 20;  // the wanted station, over 1.024 MHz

void CnrSweep(benchmark::State& state) {
  uint64_t wrongPolls = 0;
  uint64_t partialPolls = 0;
  bool psTargets = true;
  bool rtTargets = true;
  for (auto _ : state) {
    for (const double cnr : {2.0, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0, 15.0, 20.0, 30.0}) {
      const Outcome outcome = OverSeeds(cnr, kSweepSeconds, {});
      char point[32];
      std::snprintf(point, sizeof point, "C/N %02d dB", static_cast<int>(cnr));
      Report(state, point, outcome);
      wrongPolls += outcome.wrongPolls;
      partialPolls += outcome.partialPolls;
      if (cnr >= 4 && !(outcome.psSeconds != kNotShown && outcome.psSeconds <= 10)) {
        psTargets = false;
      }
      if (cnr >= 6 && !(outcome.rtSeconds != kNotShown && outcome.rtSeconds <= 10)) {
        rtTargets = false;
      }
    }
    for (const double strongerDb : {20.0, 30.0}) {
      for (const double offset : {200'000.0, -200'000.0}) {
        const Outcome outcome =
            OverSeeds(kNeighbourCnrDb, kNeighbourSeconds,
                      {{offset, strongerDb, {.rds = kNeighbour, .tone = {1500, true, true, 0.5}}}});
        char point[48];
        std::snprintf(point, sizeof point, "neighbour %+d kHz +%d dB",
                      static_cast<int>(offset / 1000), static_cast<int>(strongerDb));
        Report(state, point, outcome);
        wrongPolls += outcome.wrongPolls;
        partialPolls += outcome.partialPolls;
        if (!(outcome.psSeconds != kNotShown && outcome.psSeconds <= 3)) psTargets = false;
      }
    }
  }
  if (wrongPolls > 0) state.SkipWithError("a wrong character was shown");
  if (partialPolls > 0) state.SkipWithError("a name or text was shown in part");
  if (!psTargets) state.SkipWithError("a PS target was missed");
  if (!rtTargets) state.SkipWithError("RadioText was not whole within 10 s at 6 dB or more");
}

const Registration kRegistration([] { AddFigure(22, "SdrCnrSweep", CnrSweep, Length::kLong); });

}  // namespace
}  // namespace bench
