// What the robustness tests share: a plug-in test whose timer ticks are fired on demand through
// the GLib context (so they run through the timer's own callback, as the main loop runs them),
// snapshots of the preset files, a sweep of commands and queries, and a place to report figures.
#ifndef HALVANE_TESTS_ROBUSTNESS_FIXTURE_H
#define HALVANE_TESTS_ROBUSTNESS_FIXTURE_H

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace robustness {

// Every function of the driver contract, in the contract's order.
const std::vector<std::string>& DriverFunctions();

// Appends "section: line" to the file named by $HALVANE_ROBUSTNESS_REPORT, if set, so that
// scripts/robustness can put the figures in docs/robustness.md; prints it either way.
void Report(const std::string& section, const std::string& line);

// What a call did: its result (as text), or the run-time error it ended with.
struct Outcome {
  std::optional<int> error;  // the run-time error number, when it failed with one
  std::string value;

  bool ok() const { return !error; }
};

class RobustnessTest : public testing_support::PluginTest {
 protected:
  void SetUp() override;

  // Fires the timer's tick now through the context, the way the main loop dispatches it; false
  // when the timer has no running tick to fire. A tick never lets an exception out of the loop.
  bool FireTick(halvane::CTimer& timer);
  bool FireStatusTick() { return FireTick(*radio_->StatusTimer()); }
  bool FireSurfTick() { return FireTick(*radio_->search().SurfTimer()); }

  // Runs a call, catching a run-time error; any other exception fails the test.
  Outcome Run(const std::function<std::string()>& call);
  Outcome Cmd(const std::string& command, std::shared_ptr<fake::Screen> screen = nullptr);

  // A label's or an indicator's answer to a keyword, as the skin asks on a repaint.
  std::string Label(const std::string& keyword) {
    std::string lbl = keyword, fmt;
    return radio_->ReturnLabel(lbl, fmt);
  }
  std::string Indicator(const std::string& keyword) {
    std::string ind = keyword;
    return radio_->ReturnIndicatorEx(ind);
  }

  // The bytes of a file under the cache folder; nothing when it is not there.
  std::optional<std::string> CacheFile(const std::string& name) const;
  void WriteCacheFile(const std::string& name, const std::string& bytes);
  // A main list with three presets, 9580 current.
  void WriteMainList();
  static const char* const kMainList;

  // Every command word that does not save, stop or restart the radio, and every label and
  // indicator keyword; answers the errors met (keyword → error), for a report.
  std::map<std::string, int> SweepWithoutSaving();
};

}  // namespace robustness

#endif
