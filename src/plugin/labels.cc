// ReturnLabel: the texts of the skin's labels. The first table is answered whether or not the
// radio is active; the second only while it is, and answering from it empties the caller's
// keyword so the host stops offering it to other sources.
#include <array>

#include "plugin/dm_radio.h"
#include "plugin/skin_keywords.h"
#include "plugin/skin_values.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {

using skin::TextKeyword;

ModRadio& Tuner(DMRadio& r) { return r.component().radio(); }
ModPresets& Presets(DMRadio& r) { return r.component().presets(); }

std::string Band(DMRadio& r) { return skin::IsFm(Tuner(r).currentFreq()) ? "FM" : "AM"; }
std::string Unit(DMRadio& r) { return skin::IsFm(Tuner(r).currentFreq()) ? "MHz" : "KHz"; }
std::string Frequency(DMRadio& r) { return skin::FrequencyText(r.component()); }

// One of sixteen steps of the signal (0..65535) as a whole percentage, halves to even.
std::string SignalPercent(DMRadio& r) {
  return std::to_string(ToInt32(Tuner(r).SignalLevel() / 65535.0 * 100.0)) + "%";
}

std::string StationName(DMRadio& r) {
  const int16_t n = Presets(r).currentPreset();
  return n > 0 ? std::string(skin::PresetName(Presets(r), n)) : std::string();
}

std::string PresetNumber(DMRadio& r) {
  const int16_t n = Presets(r).currentPreset();
  return n > 0 ? std::to_string(n) : std::string();
}

std::string RdsName(DMRadio& r) { return Tuner(r).RdsName(); }
std::string RdsText(DMRadio& r) { return Tuner(r).RdsText(); }
std::string RdsPty(DMRadio& r) { return Tuner(r).RdsPty(); }
std::string RdsPi(DMRadio& r) { return Tuner(r).RdsPi(); }

std::string RdsPtyName(DMRadio& r) {
  const ModRadio& tuner = Tuner(r);
  if (!tuner.radioReady() || !tuner.rdsValid()) return {};
  return r.component().pty().PtyName(tuner.rdsData().pty);
}

// What the station sends beyond the record, as the driver reports it.
template <const char* Key>
std::string Extra(DMRadio& r) {
  return Tuner(r).RdsExtra(Key);
}
constexpr char kArtist[] = "rtplus.artist";
constexpr char kTitle[] = "rtplus.title";
constexpr char kAlbum[] = "rtplus.album";
constexpr char kProgrammeNow[] = "rtplus.programme";
constexpr char kHost[] = "rtplus.host";
constexpr char kPtyName[] = "ptyn";
constexpr char kClock[] = "clock";
constexpr char kLongName[] = "longps";
constexpr char kCountry[] = "country";
constexpr char kLanguage[] = "language";
constexpr char kAlternatives[] = "af";
constexpr char kGroups[] = "groups";

// Call letters stand for a PI only where the RBDS names are in use (North America).
std::string CallLetters(DMRadio& r) {
  return Tuner(r).useRbds() ? Tuner(r).RdsExtra("callletters") : std::string();
}

// Damaged blocks among those received since the tune, in whole percent.
std::string BlockErrors(DMRadio& r) {
  const std::string blocks = Tuner(r).RdsExtra("blocks");
  const size_t blank = blocks.find(' ');
  if (blank == std::string::npos) return {};
  const double total = LeadingNumber(blocks.substr(0, blank));
  const double damaged = LeadingNumber(blocks.substr(blank + 1));
  if (total <= 0) return {};
  return std::to_string(ToInt32(damaged / total * 100.0)) + "%";
}

// The frequency, then " - " and the preset's name when a named preset is current.
std::string TrackName(DMRadio& r) {
  std::string text = skin::FrequencyText(r.component());
  const int16_t n = Presets(r).currentPreset();
  if (n > 0) {
    const std::string_view name = skin::PresetName(Presets(r), n);
    if (!name.empty()) text.append(" - ").append(name);
  }
  return text;
}

std::string MuteState(DMRadio& r) { return Tuner(r).muted() ? "MUTED" : "UNMUTED"; }

constexpr std::array<TextKeyword, 29> kLabels{{
    {"fmam", Band},
    {"mhzkhz", Unit},
    {"frequency", Frequency},
    {"frequence", Frequency},
    {"rsignal", SignalPercent},
    {"station", StationName},
    {"radioname", StationName},
    {"preset", PresetNumber},
    {"radionumber", PresetNumber},
    {"rdsname", RdsName},
    {"rdstext", RdsText},
    {"rdspty", RdsPty},
    {"pty", RdsPty},
    {"rdsptystring", RdsPtyName},
    {"rdspi", RdsPi},
    {"rdsartist", Extra<kArtist>},
    {"rdstitle", Extra<kTitle>},
    {"rdsalbum", Extra<kAlbum>},
    {"rdsprogramme", Extra<kProgrammeNow>},
    {"rdshost", Extra<kHost>},
    {"rdsptyn", Extra<kPtyName>},
    {"rdsclock", Extra<kClock>},
    {"rdslongname", Extra<kLongName>},
    {"rdscountry", Extra<kCountry>},
    {"rdslanguage", Extra<kLanguage>},
    {"rdscallletters", CallLetters},
    {"rdsaf", Extra<kAlternatives>},
    {"rdsgroups", Extra<kGroups>},
    {"rdsblockerrors", BlockErrors},
}};

constexpr std::array<TextKeyword, 7> kActiveLabels{{
    {"tagartist", RdsName},
    {"tagalbum", RdsText},
    {"tagtitle", RdsText},
    {"trackname", TrackName},
    {"audiotrack", TrackName},
    {"tracknumber", PresetNumber},
    {"status", MuteState},
}};

}  // namespace

namespace skin {
std::span<const TextKeyword> Labels() { return kLabels; }
std::span<const TextKeyword> ActiveLabels() { return kActiveLabels; }
}  // namespace skin

// FMT is part of the host's call but carries nothing the plug-in uses.
std::string DMRadio::ReturnLabel(std::string& LBL, std::string&) {
  const skin::LoweredKeyword key(LBL);
  std::string result;
  if (const auto* label = skin::Find(skin::Labels(), key.view())) result = label->text(*this);
  if (!IsActive()) return result;
  const auto* label = skin::Find(skin::ActiveLabels(), key.view());
  if (label == nullptr) return result;
  result = label->text(*this);
  LBL.clear();
  return result;
}

}  // namespace halvane
