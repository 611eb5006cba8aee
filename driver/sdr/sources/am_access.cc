#include "sdr/sources/am_access.h"

#include "last_reason.h"
#include "result_codes.h"
#include "sdr/am_broadcast.h"

namespace halvane::driver::sdr {

std::optional<DeviceTuning> DeviceTuningFor(int64_t frequencyHz, int64_t upconverterHz,
                                            bool offersDirectSampling, bool tunerReaches) {
  if (!BelowTunerRange(frequencyHz)) return DeviceTuning{frequencyHz, false};
  if (upconverterHz > 0) return DeviceTuning{frequencyHz + upconverterHz, false};
  if (offersDirectSampling) return DeviceTuning{frequencyHz, true};
  if (tunerReaches) return DeviceTuning{frequencyHz, false};
  return std::nullopt;
}

int32_t NoAm(std::string_view what) {
  SetLastReason(std::string(what) +
                " cannot receive the AM band: its tuner does not reach it, it offers no direct "
                "sampling, and no upconverter is set (upconverter = 125 MHz in tuner.ini for one "
                "ahead of it)");
  return kSdrNoAm;
}

}  // namespace halvane::driver::sdr
