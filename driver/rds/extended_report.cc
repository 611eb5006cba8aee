#include "rds/extended_report.h"

#include <cstdio>
#include <span>

#include "frequency.h"
#include "rds/charset.h"
#include "rds/country.h"

namespace halvane::driver::rds {
namespace {

void Line(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(value).append("\n");
}

std::string Hex(unsigned value, int digits) {
  char text[12];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::string ListText(const std::vector<AfEntry>& entries, bool regional) {
  std::string text;
  for (const AfEntry& entry : entries) {
    if (entry.regional != regional) continue;
    if (!text.empty()) text += ' ';
    text += FrequencyText(entry.frequency);
  }
  return text;
}

std::string AfListText(const AfListDecoder& afs) {
  std::string text;
  if (const auto list = afs.ListFor(0)) text = ListText(list->entries, false);
  return text;
}

struct TagKey {
  RtPlusContent content;
  std::string_view key;
};
constexpr TagKey kTagKeys[] = {
    {RtPlusContent::Title, "rtplus.title"},
    {RtPlusContent::Artist, "rtplus.artist"},
    {RtPlusContent::Album, "rtplus.album"},
    {RtPlusContent::ProgrammeNow, "rtplus.programme"},
    {RtPlusContent::ProgrammeHost, "rtplus.host"},
    {RtPlusContent::PhoneHotline, "rtplus.phone"},
    {RtPlusContent::PhoneStudio, "rtplus.studiophone"},
    {RtPlusContent::SmsStudio, "rtplus.sms"},
    {RtPlusContent::Url, "rtplus.url"},
    {RtPlusContent::Homepage, "rtplus.homepage"},
};

constexpr const char* kGroupNames[] = {"0A",  "0B",  "1A",  "1B",  "2A",  "2B",  "3A",  "3B",
                                       "4A",  "4B",  "5A",  "5B",  "6A",  "6B",  "7A",  "7B",
                                       "8A",  "8B",  "9A",  "9B",  "10A", "10B", "11A", "11B",
                                       "12A", "12B", "13A", "13B", "14A", "14B", "15A", "15B"};

}  // namespace

std::string FrequencyText(int32_t frequency) {
  char text[16];
  const Frequency value(frequency);
  if (value.IsAm()) {
    std::snprintf(text, sizeof text, "%lldk", static_cast<long long>(value.Hertz() / 1000));
  } else {
    const int32_t tenths = (frequency + 50'000) / 100'000;
    std::snprintf(text, sizeof text, "%d.%d", tenths / 10, tenths % 10);
  }
  return text;
}

std::string MonitorReport(const RdsMonitor& monitor, int32_t tunedFrequency) {
  if (!monitor.decoder().HasData()) return {};
  return ExtendedReport(monitor.decoder().station(), monitor.statistics(), tunedFrequency);
}

std::string ExtendedReport(const StationState& station, const GroupStatistics& statistics,
                           int32_t tunedFrequency) {
  std::string out;
  const RdsData& data = station.shown;
  Line(out, "pi", Hex(data.pi, 4));
  const SlowLabelling& labelling = station.labelling;
  if (const auto& ecc = labelling.ecc()) {
    Line(out, "ecc", Hex(*ecc, 2));
    if (const std::string_view country = CountryCode(data.pi, *ecc); !country.empty())
      Line(out, "country", country);
  }
  if (const auto& language = labelling.language()) {
    if (const std::string_view name = LanguageName(*language); !name.empty())
      Line(out, "language", name);
  }
  if (const auto& item = labelling.item()) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d %02d:%02d", item->day, item->hour, item->minute);
    Line(out, "pin", text);
  }
  if (const std::string letters = CallLetters(data.pi); !letters.empty())
    Line(out, "callletters", letters);

  // A list of no frequencies (code 224) says there are none.
  if (const auto list = station.afs.ListFor(tunedFrequency); list && !list->entries.empty()) {
    Line(out, "af.method", list->methodB ? "B" : "A");
    Line(out, "af", ListText(list->entries, false));
    if (list->methodB) Line(out, "af.regional", ListText(list->entries, true));
  }
  for (const auto& [aid, groupType] : station.applications.applications()) {
    Line(out, "oda." + Hex(aid, 4), kGroupNames[groupType]);
  }
  const RadioTextPlus& rtPlus = station.radioTextPlus;
  if (station.applications.GroupTypeOf(kRadioTextPlusAid)) {
    Line(out, "rtplus.running", rtPlus.itemRunning() ? "1" : "0");
    for (const TagKey& tag : kTagKeys) {
      if (const auto text = rtPlus.Text(tag.content)) Line(out, tag.key, RdsToUtf8(*text));
    }
  }
  if (const auto& clock = station.clock.shown) Line(out, "clock", LocalTimeText(*clock));
  if (const auto ptyn = station.ptyName.Text()) Line(out, "ptyn", RdsToUtf8(*ptyn));
  if (const auto longPs = station.longPs.Text()) Line(out, "longps", CleanUtf8(*longPs));

  for (const auto& [pi, on] : station.otherNetworks.networks()) {
    const std::string prefix = "eon." + Hex(pi, 4);
    if (const auto ps = on.Ps()) Line(out, prefix + ".ps", RdsToUtf8(*ps));
    if (const auto& pty = on.pty.shown()) Line(out, prefix + ".pty", std::to_string(*pty));
    if (const auto& tp = on.tp.shown()) Line(out, prefix + ".tp", *tp ? "1" : "0");
    if (const auto& ta = on.ta.shown()) Line(out, prefix + ".ta", *ta ? "1" : "0");
    if (const std::string afs = AfListText(on.afs); !afs.empty()) Line(out, prefix + ".af", afs);
    if (const auto mapped = on.mapped.find(tunedFrequency);
        mapped != on.mapped.end() && mapped->second.shown()) {
      Line(out, prefix + ".mapped", FrequencyText(*mapped->second.shown()));
    }
  }
  if (station.otherNetworks.TrafficAnnounced()) Line(out, "eon.traffic", "1");

  std::string groups;
  for (int i = 0; i < kGroupTypes; ++i) {
    if (statistics.groups[static_cast<size_t>(i)] == 0) continue;
    if (!groups.empty()) groups += ' ';
    groups.append(kGroupNames[i])
        .append(":")
        .append(std::to_string(statistics.groups[static_cast<size_t>(i)]));
  }
  Line(out, "groups", groups);
  Line(out, "blocks",
       std::to_string(statistics.blocks) + " " + std::to_string(statistics.damagedBlocks));
  return out;
}

}  // namespace halvane::driver::rds
