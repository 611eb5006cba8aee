#include "recording_driver.h"

#include <cstring>

namespace {

rec::Driver& D() {
  static rec::Driver driver;
  return driver;
}

// Records the call; answers -1 (and tells the caller to write nothing) when scripted to fail.
bool Enter(const char* name, std::vector<int64_t> args, int32_t* result) {
  D().calls.push_back(rec::Call{name, std::move(args), {}});
  if (D().script.failing.count(name)) {
    *result = -1;
    return false;
  }
  auto it = D().script.results.find(name);
  *result = it == D().script.results.end() ? 0 : it->second;
  return true;
}

void Wrote(size_t index, int64_t value) { D().calls.back().written[index] = value; }

}  // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT rec::Driver* RecordingDriverState(void) { return &D(); }

EXPORT int32_t radioInitialize(void) {
  int32_t r;
  Enter("radioInitialize", {}, &r);
  ++D().initializeCount;
  return r;
}

EXPORT int32_t radioUninitialize(void) {
  int32_t r;
  Enter("radioUninitialize", {}, &r);
  return r;
}

EXPORT int32_t VolumeMute(int32_t zero, int32_t mute) {
  int32_t r;
  Enter("VolumeMute", {zero, mute}, &r);
  return r;
}

EXPORT int32_t radioForceMono(int32_t zero, int32_t mono) {
  int32_t r;
  Enter("radioForceMono", {zero, mono}, &r);
  return r;
}

EXPORT int32_t radioSetFrequency(int32_t zero, int32_t hz) {
  int32_t r;
  if (Enter("radioSetFrequency", {zero, hz}, &r) && D().script.setFrequencyTracks)
    D().script.frequencyHz = hz;
  return r;
}

EXPORT int32_t radioGetFrequency(int32_t zero, int32_t* hz) {
  int32_t r;
  if (Enter("radioGetFrequency", {zero, *hz}, &r)) {
    *hz = D().script.frequencyHz;
    Wrote(1, *hz);
  }
  return r;
}

EXPORT int32_t radioSearch(int32_t zero, int32_t* hz, int32_t up, uint8_t* level) {
  int32_t r;
  if (Enter("radioSearch", {zero, *hz, up, *level}, &r)) {
    auto& s = D().script;
    if (!s.searchFound.empty()) {
      *hz = s.searchFound.front();
      s.searchFound.pop_front();
      Wrote(1, *hz);
    }
    if (!s.searchResults.empty()) {
      r = s.searchResults.front();
      s.searchResults.pop_front();
    }
  }
  return r;
}

EXPORT int32_t RDS_Stop(int32_t zero) {
  int32_t r;
  Enter("RDS_Stop", {zero}, &r);
  return r;
}

EXPORT int32_t RDS_Start(int32_t zero) {
  int32_t r;
  Enter("RDS_Start", {zero}, &r);
  return r;
}

EXPORT int32_t radioGetState(int32_t zero, uint8_t* flags) {
  int32_t r;
  if (Enter("radioGetState", {zero, *flags}, &r)) {
    *flags = D().script.stateFlags;
    Wrote(1, *flags);
  }
  return r;
}

EXPORT int32_t RDS_SAA6588_GetDecoderState(int32_t zero, uint32_t* state) {
  int32_t r;
  if (Enter("RDS_SAA6588_GetDecoderState", {zero, static_cast<int64_t>(*state)}, &r)) {
    *state = D().script.decoderState;
    Wrote(1, *state);
  }
  return r;
}

EXPORT int32_t RDS_EvalData(int32_t zero, RdsRecord* record) {
  int32_t r;
  if (Enter("RDS_EvalData", {zero, 0}, &r)) std::memcpy(record, &D().script.record, sizeof *record);
  return r;
}
