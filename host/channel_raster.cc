#include "channel_raster.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "host_settings.h"

namespace host {
namespace {

// ISO 3166 territories of North, Central and South America and the Caribbean, sorted.
constexpr std::array<std::string_view, 55> kAmericas = {
    "AG", "AI", "AR", "AW", "BB", "BL", "BM", "BO", "BQ", "BR", "BS", "BZ", "CA", "CL",
    "CO", "CR", "CU", "CW", "DM", "DO", "EC", "FK", "GD", "GF", "GP", "GT", "GY", "HN",
    "HT", "JM", "KN", "KY", "LC", "MF", "MQ", "MS", "MX", "NI", "PA", "PE", "PM", "PR",
    "PY", "SR", "SV", "SX", "TC", "TT", "UM", "US", "UY", "VC", "VE", "VG", "VI"};

}  // namespace

bool HundredKilohertzSteps(std::string_view localeName) {
  // language[_TERRITORY][.codeset][@modifier]
  const size_t underscore = localeName.find('_');
  if (underscore == std::string_view::npos) return true;
  std::string_view territory = localeName.substr(underscore + 1);
  territory = territory.substr(0, territory.find_first_of(".@"));
  return !std::binary_search(kAmericas.begin(), kAmericas.end(), territory);
}

std::string RegionLocaleName() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0') return value;
  return {};
}

std::string AllowAllFrequencies(const HostSettings& settings, std::string_view localeName) {
  const std::optional<std::string> step = settings.Get(kFmStepSetting);
  if (step == "100") return "true";
  if (step == "200") return "false";
  return HundredKilohertzSteps(localeName) ? "true" : "false";
}

}  // namespace host
