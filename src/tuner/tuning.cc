// Everything that changes the tuned frequency: tune, megahertz and channel steps, the tuner's own
// seek, forced mono, and the preset-list refresh the host asks for.
#include "halvane/errors.h"
#include "plugin/component.h"
#include "runtime/numbers.h"
#include "tuner/mod_radio.h"

namespace halvane {
namespace {
constexpr int32_t kMegahertzStep = 100;
constexpr int32_t kAmStep = 10;
constexpr int32_t kFmAllStep = 10;   // 100 kHz, when every frequency is allowed
constexpr int32_t kFmPlanStep = 20;  // 200 kHz, on the odd tenths
constexpr auto kSeekSettle = std::chrono::milliseconds(50);
}  // namespace

void ModRadio::RdsOff() { Call(HALVANE_FN_RDS_STOP, {DriverArg::Number(0)}); }
void ModRadio::RdsOn() { Call(HALVANE_FN_RDS_START, {DriverArg::Number(0)}); }

void ModRadio::TuneTo(int32_t F) {
  if (!radioReady) return;
  RdsOff();
  int32_t hz = CheckedMul32(F, band::kHzPerUnit);  // an overflow leaves RDS off
  Call(HALVANE_FN_SET_FREQUENCY, {DriverArg::Number(0), DriverArg::Number(hz)});
  RadioLog("RadioTune=" + std::to_string(F));
  RdsOn();
  currentFreq = F;
}

// Neither megahertz step tests the band: from an AM value they land in or wrap into FM.
void ModRadio::TuneUp() {
  if (!radioReady) return;
  currentFreq = CheckedAdd32(currentFreq, kMegahertzStep);
  if (currentFreq > band::kFmHigh) currentFreq = band::kFmLow;
  TuneTo(currentFreq);
}

void ModRadio::TuneDown() {
  if (!radioReady) return;
  currentFreq = CheckedSub32(currentFreq, kMegahertzStep);
  if (currentFreq < band::kFmLow) currentFreq = band::kFmHigh;
  TuneTo(currentFreq);
}

bool ModRadio::AllowAllFrequencies() {
  bool allowed = false;
  IgnoreErrors(
      [&] { allowed = host::GetInfo(c_.sdk, hostvar::kAllowAllFreqs).ToBool(&c_.Numbers()); });
  return allowed;
}

// Channel steps skip any failing statement and go on, as the host expects a step never to fail.
void ModRadio::FineUp() {
  if (!radioReady) return;
  const bool allowAll = AllowAllFrequencies();
  const int32_t c = currentFreq;
  int32_t next = 0;
  if (c < band::kFmLow) {
    IgnoreErrors([&] { next = CheckedAdd32(c, kAmStep); });
    if (next > band::kAmHigh) next = band::kAmLow;
  } else {
    if (allowAll) {
      IgnoreErrors([&] { next = CheckedAdd32(c, kFmAllStep); });
    } else if (c % kFmPlanStep == 10) {
      IgnoreErrors([&] { next = CheckedAdd32(c, kFmPlanStep); });
    } else {
      IgnoreErrors([&] { next = CheckedAdd32(CheckedAdd32(c, c % kFmPlanStep), 10); });
    }
    if (next > band::kFmHigh) next = band::kFmLow;
  }
  IgnoreErrors([&] { TuneTo(next); });
}

void ModRadio::FineDown() {
  if (!radioReady) return;
  const bool allowAll = AllowAllFrequencies();
  const int32_t c = currentFreq;
  int32_t next = 0;
  if (c < band::kFmLow) {
    IgnoreErrors([&] { next = CheckedSub32(c, kAmStep); });
    if (next < band::kAmLow) next = band::kAmHigh;
  } else {
    if (allowAll) {
      IgnoreErrors([&] { next = CheckedSub32(c, kFmAllStep); });
    } else if (c % kFmPlanStep == 10) {
      IgnoreErrors([&] { next = CheckedSub32(c, kFmPlanStep); });
    } else {
      // Off the plan: the plan frequency of c's own 200 kHz block.
      IgnoreErrors([&] { next = CheckedSub32(c, CheckedSub32(c % kFmPlanStep, 10)); });
    }
    if (next < band::kFmLow) next = band::kFmHigh;
  }
  IgnoreErrors([&] { TuneTo(next); });
}

void ModRadio::Seek(bool up, int32_t wrapHz) {
  if (!radioReady) return;
  RdsOff();
  int32_t f = CheckedMul32(currentFreq, band::kHzPerUnit);
  uint8_t level = 0;
  int32_t r = Call(HALVANE_FN_SEARCH, {DriverArg::Number(0), DriverArg::Address(&f),
                                       DriverArg::Number(up ? 1 : 0), DriverArg::Address(&level)});
  if (r == HALVANE_SEARCH_BAND_END) f = wrapHz;
  Call(HALVANE_FN_SET_FREQUENCY, {DriverArg::Number(0), DriverArg::ByRef(&f)});
  c_.env.sleep(kSeekSettle);
  r = Call(HALVANE_FN_GET_FREQUENCY, {DriverArg::Number(0), DriverArg::Address(&f)});
  if (r == 0) currentFreq = ToInt16(f / static_cast<double>(band::kHzPerUnit));
  RdsOn();
}

void ModRadio::SeekUp() { Seek(true, band::kSeekWrapUpHz); }
void ModRadio::SeekDown() { Seek(false, band::kSeekWrapDownHz); }

void ModRadio::SetMono(bool state) {
  if (!radioReady) return;
  mono = state;
  Call(HALVANE_FN_FORCE_MONO, {DriverArg::Number(0), DriverArg::Number(state ? 1 : 0)});
}

void ModRadio::ToggleMono() { SetMono(!mono); }

void ModRadio::RadioRefresh(const std::shared_ptr<Dispatch>& frm) {
  if (!active) return;
  c_.presets.FillPresetList(frm);
  c_.presets.SelectCurrentPreset(frm);
}

}  // namespace halvane
