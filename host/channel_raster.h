// The FM channels a step reaches, as the listener's region spaces them: every 100 kHz in Europe,
// Africa and Asia, every 200 kHz on odd tenths in the Americas. The host answers the plug-in's
// "=$allowallfreqs$" with it.
#ifndef HALVANE_HOST_CHANNEL_RASTER_H
#define HALVANE_HOST_CHANNEL_RASTER_H

#include <optional>
#include <string>
#include <string_view>

namespace host {

class HostSettings;

// The setting in "halvane-host.ini" that overrides the region: "100" or "200" (kHz).
inline constexpr const char* kFmStepSetting = "fm_step";

// Whether a locale's territory ("en_GB.UTF-8" → GB) steps by 100 kHz: false for the Americas,
// true elsewhere and for a locale without a territory ("C", "POSIX", "").
bool HundredKilohertzSteps(std::string_view localeName);

// The locale whose territory decides, read as the plug-in reads it for programme types: LC_ALL,
// then LC_MESSAGES, then LANG; "" when none is set.
std::string RegionLocaleName();

// The answer to "=$allowallfreqs$": "true" or "false", from the setting when it says 100 or 200,
// otherwise from the region of `localeName`.
std::string AllowAllFrequencies(const HostSettings& settings, std::string_view localeName);

}  // namespace host

#endif
