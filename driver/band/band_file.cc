#include "band/band_file.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "band/band_file_parser.h"
#include "band/ini_values.h"
#include "band/programme_types.h"
#include "frequency.h"
#include "rds/charset.h"

namespace halvane::driver::band {

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

ParseResult<Band> ParseBandFile(std::string_view text, PtyRegion region) {
  return BandFileParser(region).Parse(text);
}

}  // namespace halvane::driver::band
