#include "channel_raster.h"

#include "halvane/region.h"
#include "host_settings.h"

namespace host {

bool HundredKilohertzSteps(std::string_view localeName) {
  return !halvane::LocaleInTheAmericas(localeName);
}

std::string RegionLocaleName() { return halvane::RegionLocaleName(); }

std::string AllowAllFrequencies(const HostSettings& settings, std::string_view localeName) {
  const std::optional<std::string> step = settings.Get(kFmStepSetting);
  if (step == "100") return "true";
  if (step == "200") return "false";
  return HundredKilohertzSteps(localeName) ? "true" : "false";
}

}  // namespace host
