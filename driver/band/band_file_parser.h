// The band file's parser, shared by its section reading (band_file.cc) and its [station] key
// readers (station_keys.cc).
#ifndef HALVANE_DRIVER_BAND_BAND_FILE_PARSER_H
#define HALVANE_DRIVER_BAND_BAND_FILE_PARSER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "band/parse_result.h"
#include "band/programme_types.h"
#include "band/station.h"

namespace halvane::driver::band {

inline constexpr size_t kPsLength = 8;
inline constexpr size_t kRadioTextLengthA = 64;
inline constexpr size_t kRadioTextLengthB = 32;
inline constexpr int32_t kMaxTaPeriodS = 3600;
inline constexpr size_t kMaxAlternativeFrequencies = 25;
// The AF codes reach from 87.6 to 107.9 MHz: 87.5 and 108.0 have none.
inline constexpr int32_t kFirstAfHz = 87'600'000;
inline constexpr int32_t kLastAfHz = 107'900'000;

enum class Section { None, Tuner, Station };

// A station as its lines are read; RDS fields stay apart until the section is complete, since
// they only mean something when the station has a PI.
struct StationDraft {
  Station station;
  int firstLine = 0;
  bool hasFrequency = false;
  bool stereoGiven = false;
  bool hasPi = false;
  int rdsFieldLine = 0;  // a line with an RDS field, 0 if none
  RdsProgramme programme;
  std::vector<uint16_t> otherPis;  // the `eon` key: resolved once every station is read
  int otherPisLine = 0;
};

// A station's `eon` list, waiting for the stations it names (they may come later in the file).
struct PendingLinks {
  size_t station = 0;
  std::vector<uint16_t> pis;
  int line = 0;
};

class BandFileParser {
 public:
  explicit BandFileParser(PtyRegion region) : region_(region) {}
  ParseResult<Band> Parse(std::string_view text);

 private:
  bool ParseLine(std::string_view line);
  bool OpenSection(std::string_view header);
  bool TunerKey(std::string_view key, std::string_view value);
  bool StationKey(std::string_view key, std::string_view value);
  bool FinishStation();
  bool LinkOtherNetworks();
  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }
  bool Flag(std::string_view key, std::string_view value, bool& out);

  // One reader per [station] key (see kStationKeys).
  bool FrequencyKey(std::string_view value);
  bool LevelKey(std::string_view value);
  bool StereoKey(std::string_view value);
  bool CaptureKey(std::string_view value);
  bool RouteKey(std::string_view value);
  bool PiKey(std::string_view value);
  bool PtyKey(std::string_view value);
  bool TpKey(std::string_view value);
  bool TaKey(std::string_view value);
  bool TaPeriodKey(std::string_view value);
  bool MsKey(std::string_view value);
  bool ProgrammeKey(std::string_view value);
  bool GroupsKey(std::string_view value);
  bool PsKey(std::string_view value);
  bool RtKey(std::string_view value);
  bool AfKey(std::string_view value);
  bool PtynKey(std::string_view value);
  bool EonKey(std::string_view value);

  PtyRegion region_;
  Band band_;
  Section section_ = Section::None;
  StationDraft draft_;
  std::vector<PendingLinks> links_;
  int lineNumber_ = 0;
  std::string error_;
  int errorLine_ = 0;
};

}  // namespace halvane::driver::band

#endif
