// A tuner driver that answers at once: every function returns success, and those that fill a
// variable of the plug-in write one fixed value (a station on 87.5 MHz, stereo, decoder level 3,
// a constant RDS record). No state changes between calls, so every benchmark iteration sees the
// same answers, and what remains of a driver call is the cost of reaching the function.
#include <cstring>

#include "halvane/driver_contract.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int32_t kStationHz = 87500000;
constexpr uint32_t kDecoderState = 0x0013;  // level 3, one block counted

RdsRecord MakeRecord() {
  RdsRecord r{};
  r.pty = 10;
  r.tp = 1;
  r.ms = 1;
  r.pi = 0x1234;
  std::memcpy(r.ps, "HALVANE ", 8);
  std::memcpy(r.rt, "Benchmark radio text, sixty-four characters long, padded out....", 64);
  return r;
}

const RdsRecord kRecord = MakeRecord();

}  // namespace

EXPORT int32_t radioInitialize(void) { return 0; }
EXPORT int32_t radioUninitialize(void) { return 0; }
EXPORT int32_t VolumeMute(int32_t, int32_t) { return 0; }
EXPORT int32_t radioForceMono(int32_t, int32_t) { return 0; }
EXPORT int32_t radioSetFrequency(int32_t, int32_t) { return 0; }

EXPORT int32_t radioGetFrequency(int32_t, int32_t* hz) {
  *hz = kStationHz;
  return 0;
}

// The station is where the search started: the seek lands on the frequency it left.
EXPORT int32_t radioSearch(int32_t, int32_t*, int32_t, uint8_t*) { return 0; }
EXPORT int32_t RDS_Stop(int32_t) { return 0; }
EXPORT int32_t RDS_Start(int32_t) { return 0; }

EXPORT int32_t radioGetState(int32_t, uint8_t* flags) {
  *flags = HALVANE_STATE_STEREO;
  return 0;
}

EXPORT int32_t RDS_SAA6588_GetDecoderState(int32_t, uint32_t* state) {
  *state = kDecoderState;
  return 0;
}

EXPORT int32_t RDS_EvalData(int32_t, RdsRecord* record) {
  std::memcpy(record, &kRecord, sizeof *record);
  return 0;
}
