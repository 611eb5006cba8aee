// A plug-in object on a component of its own, as a host would have it: the instant driver as its
// tuner, minimal host objects, a fixed locale (full stop as decimal separator, en-GB, so the RDS
// programme-type names and "RDS.ini" apply), a seek pause of zero, and fresh configuration, cache,
// artwork and skin folders that hold no pictures.
#ifndef HALVANE_BENCH_BENCH_PLUGIN_H
#define HALVANE_BENCH_BENCH_PLUGIN_H

#include <memory>
#include <string>

#include "minimal_host.h"
#include "plugin/dm_radio.h"

namespace bench {

// The tuned frequency after start-up: the instant driver reports 87.5 MHz.
inline constexpr int32_t kTunedFreq = 8750;

class BenchPlugin {
 public:
  BenchPlugin();
  ~BenchPlugin();
  BenchPlugin(const BenchPlugin&) = delete;
  BenchPlugin& operator=(const BenchPlugin&) = delete;

  // Started, made active, and one status tick taken, so the RDS record is valid.
  void StartActive();

  halvane::DMRadio& radio() { return *radio_; }
  halvane::Component& component() { return *component_; }
  halvane::ModPresets& presets() { return component_->presets(); }
  halvane::ModRadio& tuner() { return component_->radio(); }

  const std::string& root() const { return root_; }
  std::string ConfigDir() const { return root_ + "/config/"; }
  std::string CacheDir() const { return root_ + "/cache/"; }
  std::string ArtDir() const { return root_ + "/art/"; }
  std::string SkinDir() const { return root_ + "/skin/"; }
  std::string MainListPath() const { return CacheDir() + halvane::kMainListFile; }

  std::shared_ptr<MinimalSdk> sdk;
  std::shared_ptr<MinimalScreen> screen;
  std::shared_ptr<halvane::Dispatch> frm;  // the screen, as the plug-in's calls take it

 private:
  std::string root_;
  std::unique_ptr<halvane::Component> component_;
  std::shared_ptr<halvane::DMRadio> radio_;
};

}  // namespace bench

#endif
