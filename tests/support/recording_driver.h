// A tuner driver for tests: exports every driver function, records each call with its arguments
// (and, for addresses, what was there before and what was written), and answers from a script.
#ifndef HALVANE_TESTS_RECORDING_DRIVER_H
#define HALVANE_TESTS_RECORDING_DRIVER_H

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "halvane/driver_contract.h"

namespace rec {

struct Call {
  std::string name;
  // Numbers as passed; an address argument shows the value found there when the call was made.
  std::vector<int64_t> args;
  // For address arguments, the value written back (same index as args), else unset.
  std::map<size_t, int64_t> written;

  bool operator==(const Call& o) const { return name == o.name && args == o.args; }
};

struct Script {
  std::map<std::string, int32_t> results;  // per function; 0 when absent
  std::set<std::string> failing;           // these return -1 and write nothing
  int32_t frequencyHz = 0;                 // what radioGetFrequency writes
  bool setFrequencyTracks = true;          // radioSetFrequency changes frequencyHz
  std::deque<int32_t> searchFound;         // radioSearch writes these in turn (then leaves *hz)
  std::deque<int32_t> searchResults;       // radioSearch returns these in turn (then results[])
  uint32_t decoderState = 0;
  uint8_t stateFlags = 0;
  RdsRecord record{};
};

struct Driver {
  std::vector<Call> calls;
  Script script;
  int initializeCount = 0;

  void Reset() {
    calls.clear();
    script = Script{};
    initializeCount = 0;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> n;
    for (const auto& c : calls) n.push_back(c.name);
    return n;
  }
  // "name(a,b,...)" per call, for readable expectations.
  std::vector<std::string> Trace() const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
      std::string s = c.name + "(";
      for (size_t i = 0; i < c.args.size(); ++i) s += (i ? "," : "") + std::to_string(c.args[i]);
      out.push_back(s + ")");
    }
    return out;
  }
};

}  // namespace rec

extern "C" rec::Driver* RecordingDriverState(void);

#endif
