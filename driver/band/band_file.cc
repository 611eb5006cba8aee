#include "band/band_file.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "band/frequency.h"
#include "band/ini_values.h"
#include "band/programme_types.h"
#include "rds/charset.h"

namespace halvane::driver::band {
namespace {

constexpr size_t kPsLength = 8;
constexpr size_t kRadioTextLengthA = 64;
constexpr size_t kRadioTextLengthB = 32;
constexpr int32_t kMaxTaPeriodS = 3600;

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

  PtyRegion region_;
  Band band_;
  Section section_ = Section::None;
  StationDraft draft_;
  std::vector<PendingLinks> links_;
  int lineNumber_ = 0;
  std::string error_;
  int errorLine_ = 0;
};

ParseResult<Band> BandFileParser::Parse(std::string_view text) {
  while (!text.empty()) {
    const std::string_view line = NextLine(text);
    ++lineNumber_;
    if (!ParseLine(line)) return ParseResult<Band>::Fail(error_, lineNumber_);
  }
  if (!FinishStation() || !LinkOtherNetworks()) return ParseResult<Band>::Fail(error_, errorLine_);
  return ParseResult<Band>::Ok(std::move(band_));
}

bool BandFileParser::ParseLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == ';') return true;
  if (trimmed.front() == '[') return OpenSection(trimmed);
  const size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return Fail("expected \"key = value\"");
  const std::string_view key = Trim(trimmed.substr(0, equals));
  const std::string_view value = trimmed.substr(equals + 1);
  switch (section_) {
    case Section::Tuner:
      return TunerKey(key, value);
    case Section::Station:
      return StationKey(key, value);
    case Section::None:
      break;
  }
  std::string message(1, '"');
  message += key;
  message += "\" outside a [tuner] or [station] section";
  return Fail(message);
}

bool BandFileParser::OpenSection(std::string_view header) {
  if (header.back() != ']') return Fail("section header without \"]\"");
  if (!FinishStation()) {
    // The error belongs to the station that just ended, not to this header.
    lineNumber_ = errorLine_;
    return false;
  }
  const std::string_view inside = Trim(header.substr(1, header.size() - 2));
  const std::string_view name = inside.substr(0, inside.find_first_of(" \t"));
  if (name == "tuner" && inside == name) {
    section_ = Section::Tuner;
  } else if (name == "station") {
    section_ = Section::Station;
    draft_ = StationDraft{};
    draft_.firstLine = lineNumber_;
    draft_.programme.ps.fill(rds::kBlank);
    draft_.station.label = std::string(Trim(inside.substr(name.size())));
  } else {
    return Fail("unknown section [" + std::string(inside) + "]");
  }
  return true;
}

bool BandFileParser::TunerKey(std::string_view key, std::string_view value) {
  if (key == "initialize_error") {
    const std::optional<int64_t> code = ReadInteger(value);
    if (!code || *code < INT32_MIN || *code > INT32_MAX) {
      return Fail("initialize_error must be a 32-bit integer");
    }
    band_.initializeError = static_cast<int32_t>(*code);
    return true;
  }
  return Fail("unknown key \"" + std::string(key) + "\" in [tuner]");
}

// RadioText+ content types a band file may tag, by the name written in braces.
struct TagName {
  std::string_view name;
  uint8_t contentType;
};
constexpr TagName kTagTypes[] = {{"title", 1}, {"album", 2},  {"artist", 4}, {"programme", 33},
                                 {"host", 36}, {"phone", 41}, {"sms", 44},   {"url", 29}};
constexpr const char* kTagNames = "title album artist programme host phone sms url";
constexpr size_t kMaxAlternativeFrequencies = 25;
constexpr int64_t kMaxRouteSeconds = 24 * 3600;
constexpr int32_t kFirstAfHz = 87'600'000;
constexpr int32_t kLastAfHz = 107'900'000;

// "Now {artist:Nina Simone} with {title:Feeling Good}": the text without the braces and the
// tags over it, counted in characters.
bool ReadTaggedText(std::string_view text, std::string& plain, std::vector<RadioTextTag>& tags) {
  const auto chars = [](std::string_view s) { return rds::DecodeText(s).size(); };
  while (!text.empty()) {
    const size_t open = text.find('{');
    plain.append(text.substr(0, open));
    if (open == std::string_view::npos) break;
    const size_t colon = text.find(':', open);
    const size_t close = text.find('}', open);
    if (colon == std::string_view::npos || close == std::string_view::npos || close < colon) {
      return false;
    }
    const std::string_view name = text.substr(open + 1, colon - open - 1);
    const std::string_view inner = text.substr(colon + 1, close - colon - 1);
    const auto* type = std::find_if(std::begin(kTagTypes), std::end(kTagTypes),
                                    [&](const TagName& t) { return t.name == name; });
    if (type == std::end(kTagTypes) || inner.empty()) return false;
    tags.push_back({type->contentType, static_cast<uint8_t>(std::min<size_t>(chars(plain), 255)),
                    static_cast<uint8_t>(std::min<size_t>(chars(inner), 255))});
    plain.append(inner);
    text.remove_prefix(close + 1);
  }
  return true;
}

bool BandFileParser::StationKey(std::string_view key, std::string_view value) {
  Station& station = draft_.station;
  RdsProgramme& programme = draft_.programme;
  const auto rdsField = [&] {
    if (draft_.rdsFieldLine == 0) draft_.rdsFieldLine = lineNumber_;
  };
  const auto flag = [&](bool& out) {
    const std::optional<bool> b = ReadBoolean(value);
    if (!b) return Fail(std::string(key) + " must be yes or no");
    out = *b;
    return true;
  };

  if (key == "frequency") {
    const std::optional<int32_t> frequency = ReadFrequency(value);
    if (!frequency) return Fail("frequency must read like \"95.8 MHz\" or \"1040 kHz\"");
    if (!RasterOf(*frequency).Contains(*frequency)) {
      return Fail(
          "frequency is not a channel: FM 87.5-108.0 MHz in 100 kHz steps, "
          "AM 530-1710 kHz in 10 kHz steps");
    }
    station.frequency = *frequency;
    draft_.hasFrequency = true;
  } else if (key == "level") {
    const std::optional<int64_t> level = ReadInteger(value);
    if (!level || *level < 0 || *level >= kNoStationLevel) return Fail("level must be 0 to 14");
    station.level = static_cast<int>(*level);
  } else if (key == "stereo") {
    draft_.stereoGiven = true;
    return flag(station.stereo);
  } else if (key == "capture") {
    station.capturePath = Unquote(value);
    if (station.capturePath.empty()) return Fail("capture needs a file name");
  } else if (key == "pi") {
    const std::optional<uint16_t> pi = ReadHex16(value);
    if (!pi) return Fail("pi must be a hexadecimal code such as D3C2");
    programme.pi = *pi;
    draft_.hasPi = true;
  } else if (key == "pty") {
    rdsField();
    // A number is the code as sent; a kind is sent as the listener's region numbers it.
    const std::string text = Unquote(value);
    const std::optional<int64_t> pty = ReadInteger(text);
    const std::optional<uint8_t> kind = pty ? std::nullopt : ProgrammeTypeCode(text, region_);
    if (pty && (*pty < 0 || *pty > 31)) return Fail("pty must be 0 to 31");
    if (!pty && !kind) return Fail("pty is a code 0 to 31 or a kind: " + ProgrammeTypeKinds());
    programme.pty = pty ? static_cast<uint8_t>(*pty) : *kind;
  } else if (key == "tp") {
    rdsField();
    return flag(programme.tp);
  } else if (key == "ta") {
    rdsField();
    const std::string text = Unquote(value);
    if (text == "toggle") {
      programme.ta = TrafficAnnouncement::Toggle;
    } else if (const std::optional<bool> b = ReadBoolean(text)) {
      programme.ta = *b ? TrafficAnnouncement::On : TrafficAnnouncement::Off;
    } else {
      return Fail("ta must be yes, no or toggle");
    }
  } else if (key == "ta_period") {
    rdsField();
    const std::optional<int64_t> seconds = ReadInteger(value);
    if (!seconds || *seconds < 1 || *seconds > kMaxTaPeriodS) {
      return Fail("ta_period must be 1 to 3600 seconds");
    }
    programme.taPeriodS = static_cast<int32_t>(*seconds);
  } else if (key == "ms") {
    rdsField();
    const std::string text = Unquote(value);
    if (text != "music" && text != "speech") return Fail("ms must be music or speech");
    programme.music = text == "music";
  } else if (key == "groups") {
    rdsField();
    const std::string text = Unquote(value);
    if (text != "A" && text != "B") return Fail("groups must be A or B");
    programme.versionB = text == "B";
  } else if (key == "ps") {
    rdsField();
    const std::vector<uint8_t> ps = rds::EncodeRdsText(Unquote(value));
    if (ps.size() > kPsLength) return Fail("ps has more than 8 characters");
    programme.ps.fill(rds::kBlank);
    std::copy(ps.begin(), ps.end(), programme.ps.begin());
  } else if (key == "rt") {
    rdsField();
    std::vector<RadioTextTag> tags;
    std::string plain;
    if (!ReadTaggedText(Unquote(value), plain, tags)) {
      return Fail("rt tags are written {artist:...}; known: " + std::string(kTagNames));
    }
    std::vector<uint8_t> text = rds::EncodeRdsText(plain);
    if (text.empty()) return Fail("rt needs a text");
    if (text.size() > kRadioTextLengthA) return Fail("rt has more than 64 characters");
    programme.radiotexts.push_back(std::move(text));
    programme.radiotextTags.push_back(std::move(tags));
  } else if (key == "af") {
    rdsField();
    programme.alternativeFrequencies.clear();
    for (std::string_view rest = value; !rest.empty();) {
      const size_t comma = rest.find(',');
      const std::optional<int32_t> frequency = ReadFrequency(Trim(rest.substr(0, comma)));
      // The codes reach from 87.6 to 107.9 MHz: 87.5 and 108.0 have none.
      if (!frequency || *frequency < kFirstAfHz || *frequency > kLastAfHz ||
          !kFmRaster.Contains(*frequency)) {
        return Fail("af lists FM channels from 87.6 to 107.9 MHz: \"89.3 MHz, 99.5 MHz\"");
      }
      programme.alternativeFrequencies.push_back(*frequency);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    if (programme.alternativeFrequencies.size() > kMaxAlternativeFrequencies) {
      return Fail("af lists at most 25 frequencies");
    }
  } else if (key == "route") {
    station.route.clear();
    for (std::string_view rest = value; !rest.empty();) {
      const size_t comma = rest.find(',');
      const std::string_view point = Trim(rest.substr(0, comma));
      const size_t colon = point.find(':');
      const std::optional<int64_t> seconds =
          colon == std::string_view::npos ? std::nullopt : ReadInteger(point.substr(0, colon));
      const std::optional<int64_t> level =
          colon == std::string_view::npos ? std::nullopt : ReadInteger(point.substr(colon + 1));
      if (!seconds || !level || *seconds < 0 || *seconds > kMaxRouteSeconds || *level < 0 ||
          *level > kNoStationLevel ||
          (!station.route.empty() && *seconds * 1000 <= station.route.back().atMs)) {
        return Fail("route is seconds:level points in time order, level 0 to 15: \"0:2, 60:15\"");
      }
      station.route.push_back({*seconds * 1000, static_cast<int>(*level)});
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
  } else if (key == "ptyn") {
    rdsField();
    const std::vector<uint8_t> name = rds::EncodeRdsText(Unquote(value));
    if (name.size() > kPsLength) return Fail("ptyn has more than 8 characters");
    programme.ptyName.emplace();
    programme.ptyName->fill(rds::kBlank);
    std::copy(name.begin(), name.end(), programme.ptyName->begin());
  } else if (key == "eon") {
    rdsField();
    draft_.otherPis.clear();
    draft_.otherPisLine = lineNumber_;
    for (std::string_view rest = value; !rest.empty() || draft_.otherPis.empty();) {
      const size_t comma = rest.find(',');
      const std::optional<uint16_t> pi = ReadHex16(Trim(rest.substr(0, comma)));
      if (!pi) return Fail("eon lists the pi codes of other stations of the band: \"6A22, 5C11\"");
      draft_.otherPis.push_back(*pi);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
  } else {
    return Fail("unknown key \"" + std::string(key) + "\" in [station]");
  }
  return true;
}

bool BandFileParser::FinishStation() {
  if (section_ != Section::Station) return true;
  section_ = Section::None;
  errorLine_ = draft_.firstLine;
  Station& station = draft_.station;
  RdsProgramme& programme = draft_.programme;
  if (!draft_.hasFrequency) return Fail("station without a frequency");
  const bool am = Frequency(station.frequency).IsAm();
  if (band_.Find(station.frequency)) return Fail("two stations on one frequency");
  if (!draft_.stereoGiven) station.stereo = !am;
  if (draft_.rdsFieldLine != 0 && !draft_.hasPi) {
    errorLine_ = draft_.rdsFieldLine;
    return Fail("RDS fields need a pi");
  }
  if ((draft_.hasPi || !station.capturePath.empty()) && am) {
    return Fail("RDS is broadcast on FM only");
  }
  if (draft_.hasPi && !station.capturePath.empty()) {
    return Fail("a station has either RDS fields or a capture, not both");
  }
  if (draft_.hasPi) {
    for (const std::vector<uint8_t>& text : programme.radiotexts) {
      if (programme.versionB && text.size() > kRadioTextLengthB) {
        return Fail("rt has more than 32 characters, the most a version B group carries");
      }
    }
    station.programme = std::move(programme);
    if (!draft_.otherPis.empty()) {
      links_.push_back({band_.stations.size(), draft_.otherPis, draft_.otherPisLine});
    }
  }
  band_.stations.push_back(std::move(station));
  return true;
}

bool BandFileParser::LinkOtherNetworks() {
  for (const PendingLinks& links : links_) {
    RdsProgramme& programme = *band_.stations[links.station].programme;
    errorLine_ = links.line;
    for (const uint16_t pi : links.pis) {
      char code[8];
      std::snprintf(code, sizeof code, "%04X", pi);
      if (pi == programme.pi) return Fail("eon names the station's own pi " + std::string(code));
      const auto same = [pi](const OtherProgramme& other) { return other.pi == pi; };
      if (std::any_of(programme.otherNetworks.begin(), programme.otherNetworks.end(), same)) {
        continue;
      }
      // A programme on several frequencies is one programme: its first station speaks for it.
      const auto other =
          std::find_if(band_.stations.begin(), band_.stations.end(),
                       [pi](const Station& s) { return s.programme && s.programme->pi == pi; });
      if (other == band_.stations.end()) {
        return Fail("eon names pi " + std::string(code) + ", which no station of the band has");
      }
      const RdsProgramme& source = *other->programme;
      // Its list starts with the frequency it is heard on (where a code reaches it), so a radio
      // can go there.
      std::vector<int32_t> frequencies;
      if (other->frequency >= kFirstAfHz && other->frequency <= kLastAfHz) {
        frequencies.push_back(other->frequency);
      }
      for (const int32_t hz : source.alternativeFrequencies) {
        if (hz != other->frequency && frequencies.size() < kMaxAlternativeFrequencies) {
          frequencies.push_back(hz);
        }
      }
      programme.otherNetworks.push_back({source.pi, source.pty, source.tp, source.ta,
                                         source.taPeriodS, source.ps, std::move(frequencies)});
    }
  }
  return true;
}

}  // namespace

ParseResult<Band> ParseBandFile(std::string_view text, PtyRegion region) {
  return BandFileParser(region).Parse(text);
}

}  // namespace halvane::driver::band
