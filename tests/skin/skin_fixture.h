// A plug-in whose tuner state, RDS record and presets a test sets directly, and calls that return
// what the skin's three queries answer together with the keyword as the caller holds it after.
#ifndef HALVANE_TESTS_SKIN_FIXTURE_H
#define HALVANE_TESTS_SKIN_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "plugin_fixture.h"

namespace skin_test {

struct Answer {
  std::string result;
  std::string keyword;  // the caller's variable after the call
};

class SkinTest : public testing_support::PluginTest {
 protected:
  Answer Label(const std::string& keyword) {
    Answer a{"", keyword};
    std::string format = "unused";
    a.result = radio->ReturnLabel(a.keyword, format);
    return a;
  }
  Answer Indicator(const std::string& keyword) {
    Answer a{"", keyword};
    a.result = radio->ReturnIndicatorEx(a.keyword);
    return a;
  }
  int32_t Slider(const std::string& keyword) {
    std::string k = keyword;
    return radio->ReturnSlider(k);
  }

  halvane::ModRadio& Tuner() { return component->radio; }
  halvane::ModPresets& Presets() { return component->presets; }

  // A valid RDS record as the status poll would have left it.
  void SetRds(int16_t pi, uint8_t pty, const std::string& ps, const std::string& rt) {
    auto& r = Tuner().rdsData;
    r = {};
    r.pi = pi;
    r.pty = pty;
    std::memcpy(r.ps, ps.data(), std::min(ps.size(), sizeof r.ps));
    std::memcpy(r.rt, rt.data(), std::min(rt.size(), sizeof r.rt));
    Tuner().rdsValid = true;
  }

  // Presets 1..n with the given names; slot 0 holds none.
  void SetPresets(const std::vector<std::string>& names, int16_t current) {
    Presets().ResetPresets();
    for (const auto& n : names) Presets().table.Append("8750", n);
    Presets().currentPreset = current;
  }
};

}  // namespace skin_test

#endif
