#include "summary.h"

#include <sys/utsname.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <utility>
#include <vector>

#include "bench_pairs.h"

namespace bench {
namespace {

std::string CpuModel() {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("model name", 0) == 0) {
      auto colon = line.find(':');
      if (colon != std::string::npos) return line.substr(colon + 2);
    }
  }
  return "unknown";
}

std::string Kernel() {
  struct utsname u {};
  if (::uname(&u) != 0) return "unknown";
  return std::string(u.sysname) + " " + u.release + " " + u.machine;
}

std::string UtcNow() {
  std::time_t t = std::time(nullptr);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M UTC", std::gmtime(&t));
  return buf;
}

std::string Printf(const char* format, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string JsonNumber(double v) { return std::isfinite(v) ? Printf("%.6g", v) : "null"; }

std::string Pad(std::string s, size_t width) {
  // Widths count characters; "µ" and "≤" are two and three bytes in UTF-8.
  size_t shown = 0;
  for (unsigned char c : s) shown += (c & 0xC0) != 0x80;
  if (shown < width) s.append(width - shown, ' ');
  return s;
}

std::string TargetText(double maxRatio, double budgetMicros) {
  if (maxRatio <= 0) return "none, reference";
  std::string t = "≤ " + Printf(maxRatio < 1 ? "%.3g" : "%.1f", maxRatio);
  if (budgetMicros > 0) t += ", < " + FormatDuration(budgetMicros * 1000);
  return t;
}

// The sections of the results file.
enum class Section { kNone, kPairs, kScaling, kFigures };

// The entries of an earlier results file by section and key: the name as JSON writes it, and
// for a scaling "/<presets>" after it. Each is its whole line, without the comma after it.
using EarlierLines = std::map<std::pair<Section, std::string>, std::string>;

EarlierLines ReadEarlier(std::string_view text) {
  static const std::regex kRow(R"re(^ *\{"benchmark": ("(?:[^"\\]|\\.)*")(, "presets": (\d+))?)re");
  static const std::regex kFigure(R"re(^ *("(?:[^"\\]|\\.)*"): \{)re");
  EarlierLines lines;
  Section section = Section::kNone;
  std::istringstream in{std::string(text)};
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (line.starts_with("  \"pairs\": [")) section = Section::kPairs;
    if (line.starts_with("  \"scaling\": [")) section = Section::kScaling;
    if (line.starts_with("  \"figures\": {")) section = Section::kFigures;
    if (!line.empty() && line.back() == ',') line.pop_back();
    if ((section == Section::kPairs || section == Section::kScaling) &&
        std::regex_search(line, m, kRow)) {
      lines[{section, m[1].str() + (m[3].matched ? "/" + m[3].str() : "")}] = line;
    } else if (section == Section::kFigures && std::regex_search(line, m, kFigure)) {
      lines[{section, m[1].str()}] = line;
    }
  }
  return lines;
}

}  // namespace

std::string FormatDuration(double ns) {
  if (ns < 10) return Printf("%.2f ns", ns);
  if (ns < 1e3) return Printf("%.0f ns", ns);
  if (ns < 1e6) return Printf("%.1f µs", ns / 1e3);
  return Printf("%.2f ms", ns / 1e6);
}

bool SummaryReporter::ReportContext(const Context& context) {
  machine_.cpu = CpuModel();
  machine_.cpus = context.cpu_info.num_cpus;
  machine_.mhz = context.cpu_info.cycles_per_second / 1e6;
  machine_.kernel = Kernel();
  machine_.date = UtcNow();
  std::cerr << "halvane_bench: " << machine_.cpu << ", " << machine_.cpus << " CPUs\n";
  return true;
}

void SummaryReporter::ReportRuns(const std::vector<Run>& reports) {
  for (const Run& run : reports) {
    const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
    if (!single && !(run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") &&
        !run.error_occurred)
      continue;
    std::string key = run.run_name.function_name;
    if (!run.run_name.args.empty()) key += "/" + run.run_name.args;
    Measured& m = runs_[key];
    m.seen = true;
    if (run.error_occurred) {
      m.error = run.error_message;
      // A figure that misses its target still shows what it measured.
      for (const auto& [name, counter] : run.counters) m.counters[name] = counter.value;
      std::cerr << "  " << key << ": skipped, " << run.error_message << "\n";
      continue;
    }
    const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    m.realNs = run.GetAdjustedRealTime() * toNs;
    m.cpuNs = run.GetAdjustedCPUTime() * toNs;
    for (const auto& [name, counter] : run.counters) m.counters[name] = counter.value;
    if (run.repetitions > machine_.repetitions)
      machine_.repetitions = static_cast<int>(run.repetitions);
    std::cerr << "  " << key << "\n";
  }
}

const Measured* Summary::Find(const std::string& name) const {
  auto it = runs_.find(name);
  return it == runs_.end() ? nullptr : &it->second;
}

std::vector<Summary::Row> Summary::Rows() const {
  std::vector<Row> rows;
  for (const Pair& p : Pairs()) {
    const Measured* ours = Find(p.name + "/ours");
    const Measured* floor = Find(p.name + "/floor");
    if (ours == nullptr && floor == nullptr) continue;  // filtered out of this run
    Row r;
    r.name = p.name;
    r.floor = p.floor;
    r.maxRatio = p.maxRatio;
    r.budgetMicros = p.budgetMicros;
    const bool real = p.clock != Clock::kCpu;  // a child's CPU time comes as manual time
    r.clock = p.clock == Clock::kProcess ? "proc" : real ? "wall" : "cpu";
    if (ours == nullptr || floor == nullptr) {
      r.error = "ours or the floor did not run";
    } else if (!ours->error.empty() || !floor->error.empty()) {
      r.error = ours->error.empty() ? floor->error : ours->error;
    } else {
      r.ours = real ? ours->realNs : ours->cpuNs;
      r.floorNs = real ? floor->realNs : floor->cpuNs;
      r.ratio = r.floorNs > 0 ? r.ours / r.floorNs : INFINITY;
      r.met = p.maxRatio <= 0 ||
              (r.ratio <= p.maxRatio && (p.budgetMicros <= 0 || r.ours < p.budgetMicros * 1000));
    }
    rows.push_back(r);
  }
  return rows;
}

bool Summary::AllMet() const {
  for (const Row& r : Rows())
    if (!r.met) return false;
  for (const Figure& f : Figures()) {
    const Measured* m = Find(f.name);
    if (m != nullptr && !m->error.empty()) return false;  // a figure that misses its target
  }
  return true;
}

std::string Summary::Table() const {
  std::ostringstream out;
  out << "HalvaneDM benchmarks: medians of " << machine_.repetitions
      << " repetitions, interleaved with their floors\n"
      << machine_.cpu << ", " << machine_.cpus << " CPUs, " << machine_.kernel << ", "
      << machine_.date << "\n\n";
  out << Pad("Benchmark", 22) << Pad("Ours", 12) << Pad("Floor", 12) << Pad("Ratio", 8)
      << Pad("Target", 20) << Pad("Clock", 7) << "Met\n";
  for (const Row& r : Rows()) {
    out << Pad(r.name, 22);
    if (!r.error.empty()) {
      out << "not measured: " << r.error << "\n";
      continue;
    }
    out << Pad(FormatDuration(r.ours), 12) << Pad(FormatDuration(r.floorNs), 12)
        << Pad(Printf("%.2f", r.ratio), 8) << Pad(TargetText(r.maxRatio, r.budgetMicros), 20)
        << Pad(r.clock, 7)
        << (r.maxRatio <= 0 ? "-"
            : r.met         ? "yes"
                            : "NO")
        << "\n";
  }

  if (!Scalings().empty()) {
    out << "\nTime per preset (cpu), by store size\n" << Pad("", 22);
    const auto& sizes = Scalings().front().sizes;
    for (int n : sizes) out << Pad(std::to_string(n), 12);
    out << "\n";
    for (const Scaling& s : Scalings()) {
      out << Pad(s.name, 22);
      for (int n : s.sizes) {
        const Measured* m = Find(s.name + "/scaling/" + std::to_string(n));
        out << Pad(m && m->error.empty() ? FormatDuration(m->cpuNs / n) : "-", 12);
      }
      out << "\n";
    }
  }

  for (const Figure& f : Figures()) {
    const Measured* m = Find(f.name);
    if (m == nullptr) continue;
    out << "\n" << f.name << ":";
    for (const auto& [name, value] : m->counters)
      out << "  " << name << " " << Printf("%.1f", value);
    if (!m->error.empty()) out << "  NOT MET: " << m->error;
    out << "\n";
  }
  return out.str();
}

std::string Summary::Json(std::string_view earlier) const {
  const EarlierLines before = ReadEarlier(earlier);
  const auto keep = [&](Section section, const std::string& key, std::vector<std::string>& lines) {
    const auto it = before.find({section, key});
    if (it != before.end()) lines.push_back(it->second);
  };
  const std::string date = ", \"date\": " + JsonString(machine_.date);

  std::map<std::string, Row> measured;
  for (const Row& r : Rows()) measured[r.name] = r;
  std::vector<std::string> pairs;
  for (const Pair& p : Pairs()) {
    const auto it = measured.find(p.name);
    if (it == measured.end()) {
      keep(Section::kPairs, JsonString(p.name), pairs);
      continue;
    }
    const Row& r = it->second;
    std::string line =
        "    {\"benchmark\": " + JsonString(r.name) + ", \"floor\": " + JsonString(r.floor) +
        ", \"clock\": " + JsonString(r.clock) + ", \"ours_ns\": " + JsonNumber(r.ours) +
        ", \"floor_ns\": " + JsonNumber(r.floorNs) + ", \"ratio\": " + JsonNumber(r.ratio) +
        ", \"max_ratio\": " + JsonNumber(r.maxRatio) +
        ", \"budget_us\": " + JsonNumber(r.budgetMicros) +
        ", \"met\": " + (r.met ? "true" : "false");
    if (r.maxRatio <= 0) line += ", \"reference\": true";
    if (!r.error.empty()) line += ", \"error\": " + JsonString(r.error);
    pairs.push_back(line + date + "}");
  }

  std::vector<std::string> scaling;
  for (const Scaling& s : Scalings()) {
    for (int n : s.sizes) {
      const Measured* m = Find(s.name + "/scaling/" + std::to_string(n));
      if (m == nullptr) {
        keep(Section::kScaling, JsonString(s.name) + "/" + std::to_string(n), scaling);
      } else if (m->error.empty()) {
        scaling.push_back("    {\"benchmark\": " + JsonString(s.name) + ", \"presets\": " +
                          std::to_string(n) + ", \"cpu_ns\": " + JsonNumber(m->cpuNs) +
                          ", \"ns_per_preset\": " + JsonNumber(m->cpuNs / n) + date + "}");
      }
    }
  }

  std::vector<std::string> figures;
  for (const Figure& f : Figures()) {
    const Measured* m = Find(f.name);
    if (m == nullptr) {
      keep(Section::kFigures, JsonString(f.name), figures);
      continue;
    }
    std::string line = "    " + JsonString(f.name) + ": {\"date\": " + JsonString(machine_.date);
    for (const auto& [name, value] : m->counters)
      line += ", " + JsonString(name) + ": " + JsonNumber(value);
    if (!m->error.empty()) line += ", \"error\": " + JsonString(m->error);
    figures.push_back(line + "}");
  }

  const auto join = [](const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += (out.empty() ? "\n" : ",\n") + line;
    return out;
  };
  std::ostringstream out;
  out << "{\n  \"machine\": {\"cpu\": " << JsonString(machine_.cpu)
      << ", \"cpus\": " << machine_.cpus << ", \"mhz\": " << JsonNumber(machine_.mhz)
      << ", \"kernel\": " << JsonString(machine_.kernel)
      << ", \"date\": " << JsonString(machine_.date)
      << "},\n  \"repetitions\": " << machine_.repetitions << ",\n  \"pairs\": [" << join(pairs)
      << "\n  ],\n  \"scaling\": [" << join(scaling) << "\n  ],\n  \"figures\": {" << join(figures)
      << "\n  }\n}\n";
  return out.str();
}

}  // namespace bench
