// The simulated driver's band file parser. Whatever the text: it either fails with a message and
// a line inside the text, or gives a band every station of which the tuner can use: a channel of
// its band, one station per frequency, a reception level below "no station", RDS only on FM, and
// programme fields within what an RDS group carries.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "band/band_file.h"
#include "frequency.h"
#include "properties.h"

namespace {

using namespace halvane::driver::band;
using halvane::driver::Frequency;
using halvane::driver::RasterOf;

using fuzzing::Fail;
using fuzzing::LineCount;

void CheckStation(const Station& s) {
  if (!RasterOf(s.frequency).Contains(s.frequency)) Fail("a station off the channel raster");
  if (s.level < 0 || s.level >= kNoStationLevel) Fail("a level outside 0..14");
  const bool am = Frequency(s.frequency).IsAm();
  if (am && (s.programme || !s.capturePath.empty())) Fail("RDS on an AM station");
  if (s.programme && !s.capturePath.empty()) Fail("both RDS fields and a capture");
  if (!s.capture.empty()) Fail("the parser read a capture file itself");
  if (s.programme) {
    const RdsProgramme& p = *s.programme;
    if (p.pty > 31) Fail("a programme type above 31");
    if (p.taPeriodS < 1 || p.taPeriodS > 3600) Fail("a traffic period outside 1..3600 s");
    for (const auto& text : p.radiotexts) {
      if (text.empty() || text.size() > (p.versionB ? 32u : 64u)) Fail("a RadioText too long");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ParseResult<Band> parsed = ParseBandFile(text);
  if (!parsed.ok()) {
    if (parsed.error.empty()) Fail("a failure without a message");
    if (parsed.line < 0 || parsed.line > LineCount(text)) Fail("a failure on a line past the end");
    return 0;
  }
  if (!parsed.error.empty() || parsed.line != 0) Fail("a success that carries an error");
  std::set<int32_t> frequencies;
  for (const Station& s : parsed.value->stations) {
    CheckStation(s);
    if (!frequencies.insert(s.frequency).second) Fail("two stations on one frequency");
    if (!s.programme) continue;
    for (const auto& other : s.programme->otherNetworks) {
      const auto& stations = parsed.value->stations;
      const bool found = std::any_of(stations.begin(), stations.end(), [&](const Station& t) {
        return t.programme && t.programme->pi == other.pi;
      });
      if (!found || other.pi == s.programme->pi) Fail("an other network no station of the band is");
    }
  }
  return 0;
}
