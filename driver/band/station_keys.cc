// The keys of a band file's [station] section, one reader each.
#include <algorithm>
#include <cctype>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "band/band_file_parser.h"
#include "band/ini_values.h"
#include "band/programme_types.h"
#include "frequency.h"
#include "rds/charset.h"

namespace halvane::driver::band {
namespace {

// RadioText+ content types a band file may tag, by the name written in braces.
struct TagName {
  std::string_view name;
  uint8_t contentType;
};
constexpr TagName kTagTypes[] = {{"title", 1}, {"album", 2},  {"artist", 4}, {"programme", 33},
                                 {"host", 36}, {"phone", 41}, {"sms", 44},   {"url", 29}};
constexpr const char* kTagNames = "title album artist programme host phone sms url";
constexpr uint8_t kLongestSecondTag = 32;
constexpr int64_t kMaxRouteSeconds = 24 * 3600;

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

// Calls `item` with each trimmed piece of a comma list ("a, b, c"); a trailing comma ends the list.
// Stops at the first piece `item` refuses.
template <typename Item>
bool ForEachListItem(std::string_view list, Item&& item) {
  for (std::string_view rest = list; !rest.empty();) {
    const size_t comma = rest.find(',');
    if (!item(Trim(rest.substr(0, comma)))) return false;
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return true;
}

}  // namespace

bool BandFileParser::Flag(std::string_view key, std::string_view value, bool& out) {
  const std::optional<bool> b = ReadBoolean(value);
  if (!b) return Fail(std::string(key) + " must be yes or no");
  out = *b;
  return true;
}

bool BandFileParser::FrequencyKey(std::string_view value) {
  const std::optional<int32_t> frequency = ReadFrequency(value);
  if (!frequency) return Fail(R"(frequency must read like "95.8 MHz" or "1040 kHz")");
  if (!RasterOf(*frequency).Contains(*frequency)) {
    return Fail(
        "frequency is not a channel: FM 87.5-108.0 MHz in 100 kHz steps, "
        "AM 530-1710 kHz in 10 kHz steps");
  }
  draft_.station.frequency = *frequency;
  draft_.hasFrequency = true;
  return true;
}

bool BandFileParser::LevelKey(std::string_view value) {
  const std::optional<int64_t> level = ReadInteger(value);
  if (!level || *level < 0 || *level >= kNoStationLevel) return Fail("level must be 0 to 14");
  draft_.station.level = static_cast<int>(*level);
  return true;
}

bool BandFileParser::StereoKey(std::string_view value) {
  draft_.stereoGiven = true;
  return Flag("stereo", value, draft_.station.stereo);
}

bool BandFileParser::CaptureKey(std::string_view value) {
  draft_.station.capturePath = Unquote(value);
  if (draft_.station.capturePath.empty()) return Fail("capture needs a file name");
  return true;
}

bool BandFileParser::PiKey(std::string_view value) {
  const std::optional<uint16_t> pi = ReadHex16(value);
  if (!pi) return Fail("pi must be a hexadecimal code such as D3C2");
  draft_.programme.pi = *pi;
  draft_.hasPi = true;
  return true;
}

bool BandFileParser::PtyKey(std::string_view value) {
  // A number is the code as sent; a kind is sent as the listener's region numbers it.
  const std::string text = Unquote(value);
  const std::optional<int64_t> pty = ReadInteger(text);
  const std::optional<uint8_t> kind = pty ? std::nullopt : ProgrammeTypeCode(text, region_);
  if (pty && (*pty < 0 || *pty > 31)) return Fail("pty must be 0 to 31");
  if (!pty && !kind) return Fail("pty is a code 0 to 31 or a kind: " + ProgrammeTypeKinds());
  draft_.programme.pty = pty ? static_cast<uint8_t>(*pty) : *kind;
  if (!pty) {
    // By its kind the station's music takes its style.
    draft_.station.typeKind = text;
    for (char& c : draft_.station.typeKind) {
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return true;
}

bool BandFileParser::TpKey(std::string_view value) {
  return Flag("tp", value, draft_.programme.tp);
}

bool BandFileParser::TaKey(std::string_view value) {
  const std::string text = Unquote(value);
  if (text == "toggle") {
    draft_.programme.ta = TrafficAnnouncement::Toggle;
  } else if (const std::optional<bool> b = ReadBoolean(text)) {
    draft_.programme.ta = *b ? TrafficAnnouncement::On : TrafficAnnouncement::Off;
  } else {
    return Fail("ta must be yes, no or toggle");
  }
  return true;
}

bool BandFileParser::TaPeriodKey(std::string_view value) {
  const std::optional<int64_t> seconds = ReadInteger(value);
  if (!seconds || *seconds < 1 || *seconds > kMaxTaPeriodS) {
    return Fail("ta_period must be 1 to 3600 seconds");
  }
  draft_.programme.taPeriodS = static_cast<int32_t>(*seconds);
  return true;
}

bool BandFileParser::MsKey(std::string_view value) {
  const std::string text = Unquote(value);
  if (text != "music" && text != "speech") return Fail("ms must be music or speech");
  draft_.programme.music = text == "music";
  return true;
}

bool BandFileParser::ProgrammeKey(std::string_view value) {
  const std::string text = Unquote(value);
  constexpr std::pair<std::string_view, Sound> kSounds[] = {
      {"music", Sound::kMusic}, {"speech", Sound::kSpeech}, {"tone", Sound::kTone}};
  const auto* sound = std::find_if(std::begin(kSounds), std::end(kSounds),
                                   [&](const auto& named) { return named.first == text; });
  if (sound == std::end(kSounds)) return Fail("programme must be music, speech or tone");
  draft_.station.sound = sound->second;
  return true;
}

bool BandFileParser::GroupsKey(std::string_view value) {
  const std::string text = Unquote(value);
  if (text != "A" && text != "B") return Fail("groups must be A or B");
  draft_.programme.versionB = text == "B";
  return true;
}

bool BandFileParser::PsKey(std::string_view value) {
  const std::vector<uint8_t> ps = rds::EncodeRdsText(Unquote(value));
  if (ps.size() > kPsLength) return Fail("ps has more than 8 characters");
  draft_.programme.ps.fill(rds::kBlank);
  std::copy(ps.begin(), ps.end(), draft_.programme.ps.begin());
  return true;
}

bool BandFileParser::RtKey(std::string_view value) {
  std::vector<RadioTextTag> tags;
  std::string plain;
  if (!ReadTaggedText(Unquote(value), plain, tags)) {
    return Fail("rt tags are written {artist:...}; known: " + std::string(kTagNames));
  }
  std::vector<uint8_t> text = rds::EncodeRdsText(plain);
  if (text.empty()) return Fail("rt needs a text");
  if (text.size() > kRadioTextLengthA) return Fail("rt has more than 64 characters");
  // RadioText+ gives the second tag's length five bits.
  if (tags.size() > 1 && tags[1].length > kLongestSecondTag) {
    return Fail("rt's second tag is longer than RadioText+ can mark (" +
                std::to_string(kLongestSecondTag) + " characters)");
  }
  draft_.programme.radiotexts.push_back(std::move(text));
  draft_.programme.radiotextTags.push_back(std::move(tags));
  return true;
}

bool BandFileParser::AfKey(std::string_view value) {
  std::vector<int32_t>& list = draft_.programme.alternativeFrequencies;
  list.clear();
  const bool read = ForEachListItem(value, [&](std::string_view item) {
    const std::optional<int32_t> frequency = ReadFrequency(item);
    // The codes reach from 87.6 to 107.9 MHz: 87.5 and 108.0 have none.
    if (!frequency || *frequency < kFirstAfHz || *frequency > kLastAfHz ||
        !kFmRaster.Contains(*frequency)) {
      return false;
    }
    list.push_back(*frequency);
    return true;
  });
  if (!read) return Fail("af lists FM channels from 87.6 to 107.9 MHz: \"89.3 MHz, 99.5 MHz\"");
  if (list.size() > kMaxAlternativeFrequencies) return Fail("af lists at most 25 frequencies");
  return true;
}

bool BandFileParser::RouteKey(std::string_view value) {
  std::vector<RoutePoint>& route = draft_.station.route;
  route.clear();
  const bool read = ForEachListItem(value, [&](std::string_view point) {
    const size_t colon = point.find(':');
    if (colon == std::string_view::npos) return false;
    const std::optional<int64_t> seconds = ReadInteger(point.substr(0, colon));
    const std::optional<int64_t> level = ReadInteger(point.substr(colon + 1));
    if (!seconds || !level || *seconds < 0 || *seconds > kMaxRouteSeconds || *level < 0 ||
        *level > kNoStationLevel || (!route.empty() && *seconds * 1000 <= route.back().atMs)) {
      return false;
    }
    route.push_back({*seconds * 1000, static_cast<int>(*level)});
    return true;
  });
  if (!read) {
    return Fail("route is seconds:level points in time order, level 0 to 15: \"0:2, 60:15\"");
  }
  return true;
}

bool BandFileParser::PtynKey(std::string_view value) {
  const std::vector<uint8_t> name = rds::EncodeRdsText(Unquote(value));
  if (name.size() > kPsLength) return Fail("ptyn has more than 8 characters");
  draft_.programme.ptyName.emplace();
  draft_.programme.ptyName->fill(rds::kBlank);
  std::copy(name.begin(), name.end(), draft_.programme.ptyName->begin());
  return true;
}

bool BandFileParser::EonKey(std::string_view value) {
  draft_.otherPis.clear();
  draft_.otherPisLine = lineNumber_;
  const bool read = ForEachListItem(value, [&](std::string_view item) {
    const std::optional<uint16_t> pi = ReadHex16(item);
    if (pi) draft_.otherPis.push_back(*pi);
    return pi.has_value();
  });
  if (!read || draft_.otherPis.empty()) {
    return Fail("eon lists the pi codes of other stations of the band: \"6A22, 5C11\"");
  }
  return true;
}

bool BandFileParser::StationKey(std::string_view key, std::string_view value) {
  // The keys of a [station] section. A key marked RDS is a field of the station's programme,
  // which needs a pi.
  struct StationKeyReader {
    std::string_view key;
    bool rds;
    bool (BandFileParser::*read)(std::string_view value);
  };
  static constexpr StationKeyReader kStationKeys[] = {
      {"frequency", false, &BandFileParser::FrequencyKey},
      {"level", false, &BandFileParser::LevelKey},
      {"stereo", false, &BandFileParser::StereoKey},
      {"capture", false, &BandFileParser::CaptureKey},
      {"route", false, &BandFileParser::RouteKey},
      {"pi", false, &BandFileParser::PiKey},
      {"pty", true, &BandFileParser::PtyKey},
      {"tp", true, &BandFileParser::TpKey},
      {"ta", true, &BandFileParser::TaKey},
      {"ta_period", true, &BandFileParser::TaPeriodKey},
      {"ms", true, &BandFileParser::MsKey},
      {"programme", false, &BandFileParser::ProgrammeKey},
      {"groups", true, &BandFileParser::GroupsKey},
      {"ps", true, &BandFileParser::PsKey},
      {"rt", true, &BandFileParser::RtKey},
      {"af", true, &BandFileParser::AfKey},
      {"ptyn", true, &BandFileParser::PtynKey},
      {"eon", true, &BandFileParser::EonKey},
  };
  const auto* reader = std::find_if(std::begin(kStationKeys), std::end(kStationKeys),
                                    [key](const StationKeyReader& r) { return r.key == key; });
  if (reader == std::end(kStationKeys)) {
    return Fail("unknown key \"" + std::string(key) + "\" in [station]");
  }
  if (reader->rds && draft_.rdsFieldLine == 0) draft_.rdsFieldLine = lineNumber_;
  return (this->*reader->read)(value);
}

}  // namespace halvane::driver::band
