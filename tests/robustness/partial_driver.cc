// A tuner driver that lacks one function (the one named by OMIT_<function>) and passes every
// other call on to the recording driver, which records it and answers from its script.
#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>

#include "halvane/driver_contract.h"

namespace {

template <class F>
F Forward(const char* name) {
  static void* recording = dlopen(RECORDING_DRIVER, RTLD_NOW);
  void* fn = recording ? dlsym(recording, name) : nullptr;
  if (fn == nullptr) std::abort();  // the recording driver is built beside this one
  return reinterpret_cast<F>(fn);
}

}  // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

#ifndef OMIT_radioInitialize
EXPORT int32_t radioInitialize(void) { return Forward<int32_t (*)()>("radioInitialize")(); }
#endif
#ifndef OMIT_radioUninitialize
EXPORT int32_t radioUninitialize(void) { return Forward<int32_t (*)()>("radioUninitialize")(); }
#endif
#ifndef OMIT_VolumeMute
EXPORT int32_t VolumeMute(int32_t zero, int32_t mute) {
  return Forward<int32_t (*)(int32_t, int32_t)>("VolumeMute")(zero, mute);
}
#endif
#ifndef OMIT_radioForceMono
EXPORT int32_t radioForceMono(int32_t zero, int32_t mono) {
  return Forward<int32_t (*)(int32_t, int32_t)>("radioForceMono")(zero, mono);
}
#endif
#ifndef OMIT_radioSetFrequency
EXPORT int32_t radioSetFrequency(int32_t zero, int32_t hz) {
  return Forward<int32_t (*)(int32_t, int32_t)>("radioSetFrequency")(zero, hz);
}
#endif
#ifndef OMIT_radioGetFrequency
EXPORT int32_t radioGetFrequency(int32_t zero, int32_t* hz) {
  return Forward<int32_t (*)(int32_t, int32_t*)>("radioGetFrequency")(zero, hz);
}
#endif
#ifndef OMIT_radioSearch
EXPORT int32_t radioSearch(int32_t zero, int32_t* hz, int32_t up, uint8_t* level) {
  return Forward<int32_t (*)(int32_t, int32_t*, int32_t, uint8_t*)>("radioSearch")(zero, hz, up,
                                                                                   level);
}
#endif
#ifndef OMIT_RDS_Stop
EXPORT int32_t RDS_Stop(int32_t zero) { return Forward<int32_t (*)(int32_t)>("RDS_Stop")(zero); }
#endif
#ifndef OMIT_RDS_Start
EXPORT int32_t RDS_Start(int32_t zero) { return Forward<int32_t (*)(int32_t)>("RDS_Start")(zero); }
#endif
#ifndef OMIT_radioGetState
EXPORT int32_t radioGetState(int32_t zero, uint8_t* flags) {
  return Forward<int32_t (*)(int32_t, uint8_t*)>("radioGetState")(zero, flags);
}
#endif
#ifndef OMIT_RDS_SAA6588_GetDecoderState
EXPORT int32_t RDS_SAA6588_GetDecoderState(int32_t zero, uint32_t* state) {
  return Forward<int32_t (*)(int32_t, uint32_t*)>("RDS_SAA6588_GetDecoderState")(zero, state);
}
#endif
#ifndef OMIT_RDS_EvalData
EXPORT int32_t RDS_EvalData(int32_t zero, RdsRecord* record) {
  return Forward<int32_t (*)(int32_t, RdsRecord*)>("RDS_EvalData")(zero, record);
}
#endif
