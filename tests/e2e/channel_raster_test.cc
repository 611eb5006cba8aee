// The FM steps the host asks of the plug-in: the listener's region from the locale, or the
// setting that overrides it.
#include "channel_raster.h"

#include <gtest/gtest.h>

#include <fstream>

#include "host_process.h"
#include "host_settings.h"

namespace host {
namespace {

TEST(ChannelRaster, TheRegionOfTheLocaleOrTheSettingDecides) {
  e2e::ScratchDir scratch;
  const std::string path = scratch.path() + "/" + kSettingsFile;
  struct Case {
    const char* locale;
    const char* setting;  // fm_step, or null for none
    const char* answer;
  } cases[] = {
      {"en_US.UTF-8", nullptr, "false"},
      {"es_MX", nullptr, "false"},
      {"pt_BR.UTF-8@x", nullptr, "false"},
      {"fr_CA.UTF-8", nullptr, "false"},
      {"en_GB.UTF-8", nullptr, "true"},
      {"de_DE", nullptr, "true"},
      {"ja_JP.UTF-8", nullptr, "true"},
      {"af_ZA", nullptr, "true"},
      {"C", nullptr, "true"},
      {"", nullptr, "true"},
      {"en_US.UTF-8", "100", "true"},
      {"de_DE", "200", "false"},
      {"en_US.UTF-8", "150", "false"},  // not a step the radio knows: the region's
  };
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::trunc)
        << (c.setting ? std::string("fm_step=") + c.setting : "") << "\n";
    EXPECT_EQ(AllowAllFrequencies(HostSettings(path), c.locale), c.answer)
        << c.locale << " " << (c.setting ? c.setting : "-");
  }
}

}  // namespace
}  // namespace host
