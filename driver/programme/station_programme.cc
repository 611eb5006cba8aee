#include "programme/station_programme.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>

#include "halvane/encodings.h"
#include "rds/charset.h"

namespace halvane::driver::programme {
namespace {

// Programme types whose stations talk, by the band file's kinds.
constexpr std::array<std::string_view, 23> kSpokenKinds{
    "news",           "current_affairs", "information", "sport",    "sports",      "education",
    "drama",          "culture",         "science",     "weather",  "finance",     "childrens",
    "social_affairs", "religion",        "phone_in",    "travel",   "documentary", "talk",
    "religious_talk", "personality",     "public",      "language", "alarm"};

constexpr std::array<std::pair<std::string_view, Style>, 21> kStyles{{
    {"rock", Style::kRock},
    {"classic_rock", Style::kRock},
    {"soft_rock", Style::kRock},
    {"jazz", Style::kJazz},
    {"serious_classics", Style::kClassical},
    {"light_classics", Style::kClassical},
    {"classical", Style::kClassical},
    {"religious_music", Style::kClassical},
    {"country", Style::kCountry},
    {"folk", Style::kCountry},
    {"national", Style::kCountry},
    {"oldies", Style::kOldies},
    {"nostalgia", Style::kOldies},
    {"r&b", Style::kSoul},
    {"soft_r&b", Style::kSoul},
    {"mor", Style::kSoul},
    {"soft", Style::kSoul},
    {"pop", Style::kPop},
    {"top_40", Style::kPop},
    {"adult_hits", Style::kPop},
    {"varied", Style::kPop},
}};

std::string Utf8(std::string_view rdsBytes) {
  std::string text;
  for (const char32_t c : rds::DecodeText(rdsBytes)) AppendUtf8(text, c);
  return text;
}

bool MentionsTraffic(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text.find("traffic") != std::string::npos;
}

// How long before the radio came on a station went on the air: 20 to 40 s, its own.
constexpr uint64_t kOnAirBeforeS = 20;

}  // namespace

Kind KindOf(const band::Station& station) {
  switch (station.sound) {
    case band::Sound::kMusic:
      return Kind::kMusic;
    case band::Sound::kSpeech:
      return Kind::kSpeech;
    case band::Sound::kTone:
      return Kind::kTone;
    case band::Sound::kByType:
      break;
  }
  if (station.programme && !station.programme->music) return Kind::kSpeech;
  const bool spoken =
      std::find(kSpokenKinds.begin(), kSpokenKinds.end(), station.typeKind) != kSpokenKinds.end();
  return spoken ? Kind::kSpeech : Kind::kMusic;
}

Style StyleOf(std::string_view typeKind) {
  for (const auto& [kind, style] : kStyles) {
    if (kind == typeKind) return style;
  }
  return Style::kPop;
}

Options ProgrammeFor(const band::Station& station, double airS, const Tone& tone) {
  Options options;
  options.kind = KindOf(station);
  options.style = StyleOf(station.typeKind);
  options.stereo = station.stereo;
  // Transmitters of one programme share its PI, and so its music and voice.
  options.seed =
      station.programme ? station.programme->pi : static_cast<uint64_t>(station.frequency);
  // A station was on the air before the radio came on: it is heard somewhere in a song.
  options.airS = airS + static_cast<double>(kOnAirBeforeS + options.seed % kOnAirBeforeS);
  options.name = station.label;
  options.tone = tone;
  std::string traffic;
  if (station.programme) {
    for (const std::vector<uint8_t>& bytes : station.programme->radiotexts) {
      std::string text =
          Utf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      if (traffic.empty() && MentionsTraffic(text)) traffic = text;
      options.texts.push_back(std::move(text));
    }
  }
  options.trafficText = "Traffic news from " + station.label + ". " +
                        (traffic.empty() ? std::string("The roads are clear.") : traffic);
  return options;
}

}  // namespace halvane::driver::programme
