// Everything that changes the tuned frequency: tune, megahertz and channel steps, the tuner's own
// seek, and forced mono.
#include "context/module_context.h"
#include "halvane/errors.h"
#include "runtime/numbers.h"
#include "tuner/mod_radio.h"

namespace halvane {
namespace {
constexpr int32_t kMegahertzStep = 100;
constexpr int32_t kAmStep = 10;
constexpr int32_t kFmAllStep = 10;   // 100 kHz, when every frequency is allowed
constexpr int32_t kFmPlanStep = 20;  // 200 kHz, on the odd tenths
constexpr auto kSeekSettle = std::chrono::milliseconds(50);

// The channel next to `c` one step in `direction`: AM in 10 kHz steps; FM in 100 kHz steps when
// every frequency is allowed, else along the plan of odd tenths (87.5, 87.7, ...), where a
// frequency off the plan steps up to the plan frequency above its own 200 kHz block's and down
// to its own block's. Error 6 when the step overflows.
int32_t NextChannel(int32_t c, Direction direction, bool allowAll) {
  const int32_t sign = direction == Direction::kUp ? 1 : -1;
  if (c < band::kFmLow) return CheckedAdd(c, sign * kAmStep);
  if (allowAll) return CheckedAdd(c, sign * kFmAllStep);
  const int32_t offPlan = c % kFmPlanStep;
  if (offPlan == 10) return CheckedAdd(c, sign * kFmPlanStep);
  return CheckedAdd(CheckedAdd(c, sign * offPlan), 10);
}

// A step past one end of the band lands on the other.
int32_t WrapIntoBand(int32_t next, int32_t low, int32_t high, Direction direction) {
  if (direction == Direction::kUp) return next > high ? low : next;
  return next < low ? high : next;
}
}  // namespace

void ModRadio::RdsOff() { Call(HALVANE_FN_RDS_STOP, {DriverArg::Number(0)}); }
void ModRadio::RdsOn() { Call(HALVANE_FN_RDS_START, {DriverArg::Number(0)}); }

void ModRadio::TuneTo(int32_t F) {
  if (!radioReady_) return;
  RdsOff();
  int32_t hz = CheckedMul(F, band::kHzPerUnit);  // an overflow leaves RDS off
  Call(HALVANE_FN_SET_FREQUENCY, {DriverArg::Number(0), DriverArg::Number(hz)});
  RadioLog("RadioTune=" + std::to_string(F));
  RdsOn();
  currentFreq_ = F;
}

// Neither megahertz step tests the band: from an AM value they land in or wrap into FM.
void ModRadio::TuneUp() {
  if (!radioReady_) return;
  currentFreq_ = CheckedAdd(currentFreq_, kMegahertzStep);
  if (currentFreq_ > band::kFmHigh) currentFreq_ = band::kFmLow;
  TuneTo(currentFreq_);
}

void ModRadio::TuneDown() {
  if (!radioReady_) return;
  currentFreq_ = CheckedSub(currentFreq_, kMegahertzStep);
  if (currentFreq_ < band::kFmLow) currentFreq_ = band::kFmHigh;
  TuneTo(currentFreq_);
}

bool ModRadio::AllowAllFrequencies() {
  bool allowed = false;
  IgnoreErrors(
      [&] { allowed = host::GetInfo(c_.Sdk(), hostvar::kAllowAllFreqs).ToBool(&c_.Numbers()); });
  return allowed;
}

// Channel steps skip any failing statement and go on, as the host expects a step never to fail:
// a step that overflows goes on from 0, and so wraps or tunes 0 as the band's ends decide.
void ModRadio::FineUp() { FineStep(Direction::kUp); }
void ModRadio::FineDown() { FineStep(Direction::kDown); }

void ModRadio::FineStep(Direction direction) {
  if (!radioReady_) return;
  const bool allowAll = AllowAllFrequencies();
  const int32_t c = currentFreq_;
  const bool am = c < band::kFmLow;
  int32_t next = 0;
  IgnoreErrors([&] { next = NextChannel(c, direction, allowAll); });
  next = WrapIntoBand(next, am ? band::kAmLow : band::kFmLow, am ? band::kAmHigh : band::kFmHigh,
                      direction);
  IgnoreErrors([&] { TuneTo(next); });
}

void ModRadio::Seek(bool up, int32_t wrapHz) {
  if (!radioReady_) return;
  RdsOff();
  int32_t f = CheckedMul(currentFreq_, band::kHzPerUnit);
  uint8_t level = 0;
  int32_t r = Call(HALVANE_FN_SEARCH, {DriverArg::Number(0), DriverArg::Address(&f),
                                       DriverArg::Number(up ? 1 : 0), DriverArg::Address(&level)});
  if (r == HALVANE_SEARCH_BAND_END) f = wrapHz;
  Call(HALVANE_FN_SET_FREQUENCY, {DriverArg::Number(0), DriverArg::ByRef(&f)});
  c_.Sleep(kSeekSettle);
  r = Call(HALVANE_FN_GET_FREQUENCY, {DriverArg::Number(0), DriverArg::Address(&f)});
  if (r == 0) currentFreq_ = ToInt16(f / static_cast<double>(band::kHzPerUnit));
  RdsOn();
}

void ModRadio::SeekUp() { Seek(true, band::kSeekWrapUpHz); }
void ModRadio::SeekDown() { Seek(false, band::kSeekWrapDownHz); }

void ModRadio::SetMono(bool state) {
  if (!radioReady_) return;
  mono_ = state;
  Call(HALVANE_FN_FORCE_MONO, {DriverArg::Number(0), DriverArg::Number(state ? 1 : 0)});
}

void ModRadio::ToggleMono() { SetMono(!mono_); }

}  // namespace halvane
