#include "plugin/dm_radio.h"

#include "automation/library_class.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"

namespace halvane {
namespace {
int liveObjects = 0;
}

int LiveObjectCount() { return liveObjects; }

ClassFactory& LibraryClassFactory() {
  static ClassFactory factory = []() -> std::shared_ptr<Dispatch> {
    return std::make_shared<DMRadio>(LibraryComponent());
  };
  return factory;
}

// Creation skips any step that fails: without a host SDK object the instance still comes to life.
DMRadio::DMRadio(Component& component) : c_(component), search_(component) {
  ++liveObjects;
  IgnoreErrors([&] { c_.context().Sdk(CreateObject(HALVANE_SDK_PROGID)); });
  IgnoreErrors([&] {
    search_.CreateTimer();
    statusTimer_ = std::make_unique<CTimer>();
  });
  IgnoreErrors([&] {
    statusTimer_->Timer = [this] { StatusTimer_Timer(); };
    // A failing tick is noted in the log and the timer goes on.
    auto logFailure = [this](const std::exception& e) {
      IgnoreErrors([&] { c_.radio().RadioLog(std::string("Timer tick failed: ") + e.what()); });
    };
    statusTimer_->TickFailed = logFailure;
    search_.SurfTimer()->TickFailed = logFailure;
    statusTimer_->Interval(100);
    statusTimer_->Enabled(true);
  });
  c_.context().Settings(this);
}

DMRadio::~DMRadio() {
  // Another instance may have taken over the module references since; leave them to it.
  if (c_.context().SettingsOwner() == this) {
    c_.context().Settings(nullptr);
    c_.context().Sdk(nullptr);
  }
  --liveObjects;
}

bool DMRadio::IsActive() { return c_.radio().active(); }

void DMRadio::StartRadio() { c_.radio().RadioStart(c_); }

void DMRadio::StopRadio() {
  c_.radio().RadioStop(c_);
  StopSearch();
}

void DMRadio::SetActive(bool& state) {
  c_.radio().RadioSetActive(state, c_);
  StopSearch();
}

void DMRadio::Refresh(std::shared_ptr<Dispatch>& frm) {
  if (IsActive()) c_.presets().RadioRefresh(frm);
}

int32_t DMRadio::Freq() { return c_.radio().currentFreq(); }

void DMRadio::Tune(int32_t& F) {
  if (!IsActive()) return;
  StopSearch();
  c_.radio().TuneTo(F);
}

void DMRadio::PresetRecall(int16_t& Preset) {
  if (!IsActive() || Preset == c_.presets().currentPreset()) return;
  StopSearch();
  c_.presets().RecallPreset(Preset);
}

bool DMRadio::Check() { return c_.radio().CheckRadio(); }

void DMRadio::StatusTimer_Timer() { c_.radio().PollStatus(); }

}  // namespace halvane
