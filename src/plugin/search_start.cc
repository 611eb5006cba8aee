#include "plugin/search_start.h"

#include "halvane/errors.h"
#include "plugin/dm_radio.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {
constexpr int16_t kDefaultDwellMs = 10000;
constexpr int32_t kLearnTickMs = 1000;

CTimer& SurfTimerOf(DMRadio& radio) {
  if (!radio.SurfTimer) Raise(kNoObject, "SurfTimer");
  return *radio.SurfTimer;
}

// A negative dwell is ignored by the timer, which then runs at its previous interval (none at
// first, so no ticks come).
void RunSurfTimer(DMRadio& radio, int32_t intervalMs) {
  CTimer& timer = SurfTimerOf(radio);
  timer.Interval(intervalMs);
  timer.Enabled(true);
}

int16_t ScanDwellMs(Component& c) {
  const std::string seconds = host::GetInfo(c.sdk, hostvar::kScanSecs).ToString(&c.Numbers());
  const int16_t ms = ToInt16(LeadingNumber(seconds) * 1000);
  return ms == 0 ? kDefaultDwellMs : ms;
}

}  // namespace

void StartScan(DMRadio& radio) {
  radio.SearchMode(SModes::Scan);
  RunSurfTimer(radio, ScanDwellMs(radio.component()));
  radio.component().radio.SeekUp();
}

void StartSurf(DMRadio& radio) {
  radio.SearchMode(SModes::Surf);
  RunSurfTimer(radio, ScanDwellMs(radio.component()));
  radio.component().presets.NextPreset();
}

void StartPresetSearch(DMRadio& radio, const ObjectRef& frm) {
  Component& c = radio.component();
  radio.SearchMode(SModes::PresetLearn);
  radio.searchScreen = frm;
  // A new run must see its first frequency as new, or a run starting on the frequency where an
  // earlier one stopped would wait for a change that never comes.
  radio.lastLearnFreq = 0;
  c.presets.SetLocalPresets(frm, true);
  c.presets.ResetPresets();
  ObjectRef screen = frm;
  radio.Refresh(screen);
  c.radio.TuneTo(band::kFmLow);
  RunSurfTimer(radio, kLearnTickMs);
}

}  // namespace halvane
