#include "bench_plugin.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "driver_floor.h"
#include "halvane/plugin.h"

namespace bench {

BenchPlugin::BenchPlugin() {
  char pattern[] = "/tmp/halvane-bench-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  for (const auto& dir : {ConfigDir(), CacheDir(), ArtDir() + "RadioArt/", SkinDir()})
    std::filesystem::create_directories(dir);

  sdk = std::make_shared<MinimalSdk>();
  sdk->vars["=$DMPath$"] = halvane::Variant(InstantDriverHome());
  sdk->vars["=$RadioDebug$"] = halvane::Variant(false);
  sdk->vars["=$Userbds$"] = halvane::Variant(false);
  sdk->vars["=$allowallfreqs$"] = halvane::Variant(false);
  sdk->vars["=$dmartpath$"] = halvane::Variant(ArtDir());
  // -1: ".png" is tried too, so the artwork lookup makes all nine of its tests.
  sdk->vars["=$fastmode$"] = halvane::Variant("-1");
  sdk->userVars["skinpath"] = SkinDir();
  auto sdkRef = sdk;
  halvane::RegisterClassObject(HALVANE_SDK_PROGID, [sdkRef] { return sdkRef; });

  screen = std::make_shared<MinimalScreen>();
  frm = screen;

  const halvane::Environment env(
      std::make_shared<halvane::FixedLocale>(halvane::NumberFormat{".", ","}, 2057),
      [](std::chrono::milliseconds) {});
  component_ = std::make_unique<halvane::Component>(env);
  radio_ = std::make_shared<halvane::DMRadio>(*component_);
  radio_->ConfigPath(ConfigDir());
  radio_->CachePath(CacheDir());
}

BenchPlugin::~BenchPlugin() {
  radio_.reset();
  component_.reset();
  halvane::RevokeClassObject(HALVANE_SDK_PROGID);
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

void BenchPlugin::StartActive() {
  radio_->StartRadio();
  bool on = true;
  radio_->SetActive(on);
  tuner().PollStatus();
  if (!tuner().radioReady() || !tuner().active() || !tuner().rdsValid())
    throw std::runtime_error("the plug-in did not start on the instant driver");
}

}  // namespace bench
