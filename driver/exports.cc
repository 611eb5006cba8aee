// The C exports: the tuner driver contract plus the test-only hooks. They check their address
// arguments and forward to the process's one tuner. Their callers are C (the plug-in calls them
// through libffi), so no exception may leave them: a failure inside, an allocation that fails
// included, becomes a result code and a reason.
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "audio/programme_stage.h"
#include "backend_factory.h"
#include "export.h"
#include "halvane/driver_contract.h"
#include "halvane/driver_extras.h"
#include "last_reason.h"
#include "result_codes.h"
#include "test_hooks.h"

namespace halvane::driver {
namespace {

// One tuner per process; the library may be loaded any number of times, and every load shares
// this state. The plug-in calls from one thread only, so nothing is locked. The configuration is
// read when the state is made: at the first call, and again after HalvaneSimReset.
struct DriverState {
  DriverClock clock;
  std::unique_ptr<TunerBackend> tuner = MakeBackend(LoadBackendConfig(), clock);
  int32_t volume = 100;  // percent, for the process's life: a restarted tuner plays as loud
};

std::unique_ptr<DriverState>& StateSlot() {
  static std::unique_ptr<DriverState> state;
  return state;
}

DriverState& State() {
  std::unique_ptr<DriverState>& state = StateSlot();
  if (!state) state = std::make_unique<DriverState>();
  return *state;
}

TunerBackend& Tuner() { return *State().tuner; }

void SetReasonQuietly(const char* text) noexcept {
  try {
    SetLastReason(text);
  } catch (...) {
    ClearLastReason();  // no memory even for the words: at least no stale reason
  }
}

// Runs an export's body; whatever it throws ends as kInternalFailure.
template <class Body>
int32_t Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    SetReasonQuietly("the driver ran out of memory");
  } catch (const std::exception& e) {
    SetReasonQuietly(e.what());
  } catch (...) {
    SetReasonQuietly("the driver failed inside");
  }
  return kInternalFailure;
}

}  // namespace
}  // namespace halvane::driver

using halvane::driver::Guarded;
using halvane::driver::kNullArgument;
using halvane::driver::State;
using halvane::driver::StateSlot;
using halvane::driver::Tuner;

extern "C" {

HALVANE_DRIVER_EXPORT int32_t radioInitialize(void) {
  return Guarded([&]() -> int32_t {
    const int32_t result = Tuner().Initialize();
    if (result == halvane::driver::kOk)
      Tuner().SetVolume(halvane::driver::audio::VolumeGain(State().volume));
    return result;
  });
}

HALVANE_DRIVER_EXPORT int32_t radioUninitialize(void) {
  return Guarded([&]() -> int32_t { return Tuner().Uninitialize(); });
}

HALVANE_DRIVER_EXPORT int32_t VolumeMute(int32_t, int32_t mute) {
  return Guarded([&]() -> int32_t { return Tuner().SetMute(mute != 0); });
}

// Optional, beside the contract: the programme's volume in percent, 0 to 100 (beyond is taken as
// the nearer end). Works before radioInitialize too; the volume holds for the process's life.
HALVANE_DRIVER_EXPORT int32_t radioSetVolume(int32_t, int32_t percent) {
  return Guarded([&]() -> int32_t {
    State().volume = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    Tuner().SetVolume(halvane::driver::audio::VolumeGain(State().volume));
    return halvane::driver::kOk;
  });
}

HALVANE_DRIVER_EXPORT int32_t radioGetVolume(int32_t, int32_t* percent) {
  return Guarded([&]() -> int32_t {
    if (percent == nullptr) return kNullArgument;
    *percent = State().volume;
    return halvane::driver::kOk;
  });
}

// Optional: traffic announcements of linked programmes on or off, and whether one plays now.
HALVANE_DRIVER_EXPORT int32_t radioSetTraffic(int32_t, int32_t on) {
  return Guarded([&]() -> int32_t { return Tuner().SetTraffic(on != 0); });
}

HALVANE_DRIVER_EXPORT int32_t radioGetTraffic(int32_t, int32_t* state) {
  return Guarded([&]() -> int32_t {
    if (state == nullptr) return kNullArgument;
    *state = (Tuner().traffic() ? 1 : 0) | (Tuner().TrafficAway() ? 2 : 0);
    return halvane::driver::kOk;
  });
}

HALVANE_DRIVER_EXPORT int32_t radioForceMono(int32_t, int32_t mono) {
  return Guarded([&]() -> int32_t { return Tuner().SetForceMono(mono != 0); });
}

HALVANE_DRIVER_EXPORT int32_t radioSetFrequency(int32_t, int32_t hz) {
  return Guarded([&]() -> int32_t { return Tuner().SetFrequency(hz); });
}

HALVANE_DRIVER_EXPORT int32_t radioGetFrequency(int32_t, int32_t* hz) {
  return Guarded([&]() -> int32_t {
    if (hz == nullptr) return kNullArgument;
    return Tuner().GetFrequency(*hz);
  });
}

HALVANE_DRIVER_EXPORT int32_t radioSearch(int32_t, int32_t* hz, int32_t up, uint8_t*) {
  return Guarded([&]() -> int32_t {
    // The search level byte is always 0 and the simulated search has no threshold to set.
    if (hz == nullptr) return kNullArgument;
    return Tuner().Search(*hz, up != 0);
  });
}

HALVANE_DRIVER_EXPORT int32_t RDS_Stop(int32_t) {
  return Guarded([&]() -> int32_t { return Tuner().StopRds(); });
}

HALVANE_DRIVER_EXPORT int32_t RDS_Start(int32_t) {
  return Guarded([&]() -> int32_t { return Tuner().StartRds(); });
}

HALVANE_DRIVER_EXPORT int32_t radioGetState(int32_t, uint8_t* flags) {
  return Guarded([&]() -> int32_t {
    if (flags == nullptr) return kNullArgument;
    return Tuner().GetState(*flags);
  });
}

HALVANE_DRIVER_EXPORT int32_t RDS_SAA6588_GetDecoderState(int32_t, uint32_t* state) {
  return Guarded([&]() -> int32_t {
    if (state == nullptr) return kNullArgument;
    return Tuner().GetDecoderState(*state);
  });
}

HALVANE_DRIVER_EXPORT int32_t RDS_EvalData(int32_t, RdsRecord* record) {
  return Guarded([&]() -> int32_t {
    if (record == nullptr) return kNullArgument;
    return Tuner().EvalData(*record);
  });
}

// Optional, beside the contract: why the last failing call failed (see last_reason.h). A host
// looks it up by name and does without it when a driver lacks it.
HALVANE_DRIVER_EXPORT int32_t radioLastReason(char* buffer, int32_t size) {
  return Guarded([&]() -> int32_t { return halvane::driver::CopyLastReason(buffer, size); });
}

// Optional, beside the contract: the extended RDS data of the tuned station as "key=value"
// lines (rds/extended_report.h). Copies as radioLastReason does and returns the report's whole
// length; a negative result is an export's result code (-1: not initialised).
HALVANE_DRIVER_EXPORT int32_t RDS_ExtendedData(char* buffer, int32_t size) {
  int32_t length = 0;
  const int32_t result = Guarded([&]() -> int32_t {
    std::string report;
    if (const int32_t code = Tuner().ExtendedRds(report); code != 0) return code;
    length = halvane::driver::CopyText(report, buffer, size);
    return 0;
  });
  return result != 0 ? -result : length;
}

HALVANE_DRIVER_EXPORT int32_t HalvaneSimUseManualClock(int32_t on) {
  return Guarded([&]() -> int32_t {
    State().clock.UseManual(on != 0);
    return 0;
  });
}

HALVANE_DRIVER_EXPORT int32_t HalvaneSimAdvanceClock(int32_t ms) {
  return Guarded([&]() -> int32_t {
    State().clock.Advance(ms);
    return 0;
  });
}

HALVANE_DRIVER_EXPORT void HalvaneSimReset(void) {
  Guarded([]() -> int32_t {
    StateSlot().reset();
    return 0;
  });
}

}  // extern "C"
