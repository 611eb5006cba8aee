#include "plugin/search.h"

#include <string>

#include "halvane/errors.h"
#include "plugin/component.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {
constexpr int16_t kDefaultDwellMs = 10000;
constexpr int32_t kLearnTickMs = 1000;

// Learning stores stations strictly inside the band: 87.50 MHz, where every run starts, and
// 107.90 MHz, where the seek turns round, are passed over.
bool IsLearnable(int32_t freq) { return freq > band::kFmLow && freq < band::kFmHigh; }
}  // namespace

void Search::CreateTimer() {
  timer_ = std::make_unique<CTimer>();
  timer_->Timer = [this] { Tick(); };
}

// A negative dwell is ignored by the timer, which then runs at its previous interval (none at
// first, so no ticks come).
void Search::RunTimer(int32_t intervalMs) {
  if (!timer_) Raise(kNoObject, "SurfTimer");
  timer_->Interval(intervalMs);
  timer_->Enabled(true);
}

int16_t Search::ScanDwellMs() const {
  const std::string seconds =
      host::GetInfo(c_.context().Sdk(), hostvar::kScanSecs).ToString(&c_.Numbers());
  const int16_t ms = ToInt16(LeadingNumber(seconds) * 1000);
  return ms == 0 ? kDefaultDwellMs : ms;
}

void Search::StartScan() {
  mode_ = SModes::Scan;
  RunTimer(ScanDwellMs());
  c_.radio().SeekUp();
}

void Search::StartSurf() {
  mode_ = SModes::Surf;
  RunTimer(ScanDwellMs());
  c_.presets().NextPreset();
}

void Search::StartPresetLearning(const ObjectRef& frm) {
  mode_ = SModes::PresetLearn;
  screen_ = frm;
  // A new run must see its first frequency as new, or a run starting on the frequency where an
  // earlier one stopped would wait for a change that never comes.
  lastLearnFreq_ = 0;
  c_.presets().SetLocalPresets(frm, true);
  c_.presets().ResetPresets();
  c_.presets().RadioRefresh(frm);
  c_.radio().TuneTo(band::kFmLow);
  RunTimer(kLearnTickMs);
}

// The screen learning drew on is let go: the host may close it.
void Search::Stop() {
  if (timer_) timer_->Enabled(false);
  mode_ = SModes::Disabled;
  screen_ = nullptr;
}

// The timer keeps running while the plug-in is inactive, until the search is stopped.
void Search::Tick() {
  if (!c_.radio().active()) return;
  switch (mode_) {
    case SModes::Surf:
      c_.presets().NextPreset();
      break;
    case SModes::Scan:
      c_.radio().SeekUp();
      break;
    case SModes::PresetLearn:
      LearnStep();
      break;
    default:
      break;
  }
}

// The run ends when the seek comes back to a station already stored; until the frequency moves
// on from the previous tick's, a tick does nothing at all.
void Search::LearnStep() {
  const int32_t freq = c_.radio().currentFreq();
  if (freq == lastLearnFreq_) return;
  lastLearnFreq_ = freq;
  if (c_.presets().PresetHolding(freq) != 0) {
    Stop();
    return;
  }
  if (IsLearnable(freq)) {
    const int32_t number = c_.presets().Count() + 1;
    c_.presets().AddPreset("Preset " + std::to_string(number));  // saves the local list
    c_.presets().RadioRefresh(screen_);
  }
  c_.radio().SeekUp();
}

// A scan runs until a search command stops it.
void Search::AfterCommand(std::string_view word) {
  if (mode_ == SModes::Surf && word != "scan" && word != "surf" && word != "seekup" &&
      word != "freq+") {
    Stop();
  }
  if (mode_ == SModes::PresetLearn && word != "searchpresets") Stop();
}

}  // namespace halvane
