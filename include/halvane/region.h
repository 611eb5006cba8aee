// The listener's broadcast region, from the locale's territory: the Americas space their FM
// channels 200 kHz apart on odd tenths and their AM channels 10 kHz apart; Europe, Africa and
// Asia (and a locale without a territory) 100 kHz and 9 kHz. The hosts and the tuner driver read
// it alike.
#ifndef HALVANE_REGION_H
#define HALVANE_REGION_H

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

namespace halvane {

// ISO 3166 territories of North, Central and South America and the Caribbean, sorted.
inline constexpr std::array<std::string_view, 55> kAmericas = {
    "AG", "AI", "AR", "AW", "BB", "BL", "BM", "BO", "BQ", "BR", "BS", "BZ", "CA", "CL",
    "CO", "CR", "CU", "CW", "DM", "DO", "EC", "FK", "GD", "GF", "GP", "GT", "GY", "HN",
    "HT", "JM", "KN", "KY", "LC", "MF", "MQ", "MS", "MX", "NI", "PA", "PE", "PM", "PR",
    "PY", "SR", "SV", "SX", "TC", "TT", "UM", "US", "UY", "VC", "VE", "VG", "VI"};

// Whether a locale name (language[_TERRITORY][.codeset][@modifier]) is of the Americas.
inline bool LocaleInTheAmericas(std::string_view localeName) {
  const size_t underscore = localeName.find('_');
  if (underscore == std::string_view::npos) return false;
  std::string_view territory = localeName.substr(underscore + 1);
  territory = territory.substr(0, territory.find_first_of(".@"));
  return std::binary_search(kAmericas.begin(), kAmericas.end(), territory);
}

// The locale whose territory decides, read as the plug-in reads it for programme types: LC_ALL,
// then LC_MESSAGES, then LANG; "" when none is set.
inline std::string RegionLocaleName() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0') return value;
  return {};
}

}  // namespace halvane

#endif
