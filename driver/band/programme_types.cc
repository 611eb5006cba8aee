#include "band/programme_types.h"

#include <array>
#include <cctype>
#include <string>

#include "runtime/locale.h"

namespace halvane::driver::band {
namespace {

struct Kind {
  std::string_view name;
  uint8_t europe;        // IEC 62106 (RDS)
  uint8_t northAmerica;  // NRSC-4 (RBDS)
};

// The names of the plug-in's name files (RDS.ini and RBDS.ini keys), so a band file speaks as
// the user's settings do. Where one standard lacks a kind, its nearest type stands in (top 40 is
// pop music in Europe, a European phone-in is talk in North America); 0 where none comes near.
constexpr std::array<Kind, 47> kKinds{{
    {"news", 1, 1},
    {"current_affairs", 2, 1},
    {"information", 3, 2},
    {"sport", 4, 3},
    {"sports", 4, 3},
    {"education", 5, 23},
    {"drama", 6, 0},
    {"culture", 7, 22},
    {"science", 8, 2},
    {"varied", 9, 21},
    {"pop", 10, 9},
    {"rock", 11, 5},
    {"mor", 12, 12},
    {"light_classics", 13, 15},
    {"serious_classics", 14, 15},
    {"other", 15, 0},
    {"weather", 16, 29},
    {"finance", 17, 2},
    {"childrens", 18, 0},
    {"social_affairs", 19, 4},
    {"religion", 20, 20},
    {"phone_in", 21, 4},
    {"travel", 22, 2},
    {"leisure", 23, 0},
    {"jazz", 24, 14},
    {"country", 25, 10},
    {"national", 26, 0},
    {"oldies", 27, 11},
    {"folk", 28, 0},
    {"documentary", 29, 4},
    {"alarm_test", 30, 30},
    {"alarm", 31, 31},
    {"talk", 21, 4},
    {"classic_rock", 11, 6},
    {"adult_hits", 10, 7},
    {"soft_rock", 11, 8},
    {"top_40", 10, 9},
    {"soft", 12, 12},
    {"nostalgia", 27, 13},
    {"classical", 14, 15},
    {"r&b", 15, 16},
    {"soft_r&b", 15, 17},
    {"language", 0, 18},
    {"religious_music", 20, 19},
    {"religious_talk", 20, 20},
    {"personality", 21, 21},
    {"public", 7, 22},
}};

bool SameKind(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return true;
}

}  // namespace

PtyRegion ListenersRegion() {
  return ReadsRbdsNames(EnvironmentLcid()) ? PtyRegion::kNorthAmerica : PtyRegion::kEurope;
}

std::optional<uint8_t> ProgrammeTypeCode(std::string_view kind, PtyRegion region) {
  for (const Kind& k : kKinds)
    if (SameKind(kind, k.name)) return region == PtyRegion::kEurope ? k.europe : k.northAmerica;
  return std::nullopt;
}

std::string ProgrammeTypeKinds() {
  std::string names;
  for (const Kind& k : kKinds) names.append(names.empty() ? "" : ", ").append(k.name);
  return names;
}

}  // namespace halvane::driver::band
