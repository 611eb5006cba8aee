// A started plug-in with a preset list of the test's own, and short ways to read the store and
// the list files back.
#ifndef HALVANE_TESTS_PRESETS_FIXTURE_H
#define HALVANE_TESTS_PRESETS_FIXTURE_H

#include <string>
#include <vector>

#include "error_of.h"
#include "halvane/errors.h"
#include "plugin_fixture.h"

namespace presets_test {

using Lines = std::vector<std::string>;

class PresetsTest : public testing_support::PluginTest {
 protected:
  halvane::ModPresets& presets() { return component_->presets(); }
  std::string MainList() const { return CacheDir() + "Radio.ini"; }
  std::string LocalList() const { return CacheDir() + "RadioLocal.ini"; }

  // Writes the main list (lines joined with CR LF), starts the radio on it and makes it active.
  void StartWith(const Lines& list) {
    std::string bytes;
    for (const auto& l : list) bytes += l + "\r\n";
    testing_support::WriteFile(MainList(), bytes);
    StartActive();
  }
  void TuneTo(int32_t freq) { component_->radio().TuneTo(freq); }

  Lines Names() const {
    Lines names;
    for (size_t i = 1; i < Store().table().size(); ++i) names.emplace_back(Store().table().Name(i));
    return names;
  }
  Lines Freqs() const {
    Lines freqs;
    for (size_t i = 1; i < Store().table().size(); ++i) freqs.emplace_back(Store().table().Freq(i));
    return freqs;
  }

 private:
  const halvane::ModPresets& Store() const { return component_->presets(); }
};

using testing_support::ErrorOf;

}  // namespace presets_test

#endif
