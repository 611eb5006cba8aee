// A plug-in whose station, RDS record and presets a test sets through what the tuner reports and
// the store's own calls, and calls that return what the skin's three queries answer together with
// the keyword as the caller holds it after.
#ifndef HALVANE_TESTS_SKIN_FIXTURE_H
#define HALVANE_TESTS_SKIN_FIXTURE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
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
    a.result = radio_->ReturnLabel(a.keyword, format);
    return a;
  }
  Answer Indicator(const std::string& keyword) {
    Answer a{"", keyword};
    a.result = radio_->ReturnIndicatorEx(a.keyword);
    return a;
  }
  int32_t Slider(const std::string& keyword) {
    std::string k = keyword;
    return radio_->ReturnSlider(k);
  }

  halvane::ModRadio& Tuner() { return component_->radio(); }
  halvane::ModPresets& Presets() { return component_->presets(); }

  void SetUp() override {
    PluginTest::SetUp();
    driver_->script.failing.insert(HALVANE_FN_EVAL_DATA);  // no RDS until a test sends some
  }

  // One tick of the status timer, which takes in what the tuner reports.
  void Poll() { radio_->StatusTimer_Timer(); }
  // The tuner reports `freq` (in the plug-in's units) at decoder level `level`.
  void Receive(int32_t freq, uint32_t level = 0) {
    driver_->script.frequencyHz = freq * 10000;
    driver_->script.decoderState = level;
    Poll();
  }
  // The tuner decodes `record`, or (for none) no valid RDS.
  void SendRds(const std::optional<RdsRecord>& record) {
    if (record) {
      driver_->script.record = *record;
      driver_->script.failing.erase(HALVANE_FN_EVAL_DATA);
    } else {
      driver_->script.failing.insert(HALVANE_FN_EVAL_DATA);
    }
    Poll();
  }
  static RdsRecord Record(int16_t pi, uint8_t pty, const std::string& ps, const std::string& rt) {
    RdsRecord r{};
    r.pi = pi;
    r.pty = pty;
    std::memcpy(r.ps, ps.data(), std::min(ps.size(), sizeof r.ps));
    std::memcpy(r.rt, rt.data(), std::min(rt.size(), sizeof r.rt));
    return r;
  }
  void SetRds(int16_t pi, uint8_t pty, const std::string& ps, const std::string& rt) {
    SendRds(Record(pi, pty, ps, rt));
  }

  // Presets 1..n with the given names, added at the tuned frequency; then `current` recalled
  // (0: none).
  void SetPresets(const std::vector<std::string>& names, int16_t current) {
    Presets().ResetPresets();
    for (const auto& n : names) Presets().AddPreset(n);
    if (current > 0) Presets().RecallPreset(current);
  }
};

}  // namespace skin_test

#endif
