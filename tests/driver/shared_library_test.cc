// The built Radio_IO.so as the plug-in sees it: loaded by path, functions looked up by name.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "halvane/driver_contract.h"

namespace {

void* Open() {
  void* handle = dlopen(HALVANE_DRIVER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  EXPECT_NE(handle, nullptr) << dlerror();
  return handle;
}

template <class Function>
Function* Find(void* handle, const char* name) {
  return reinterpret_cast<Function*>(dlsym(handle, name));
}

TEST(SharedLibrary, ExportsTheContractAndTheTestHooks) {
  void* handle = Open();
  ASSERT_NE(handle, nullptr);
  for (const char* name :
       {HALVANE_FN_INITIALIZE, HALVANE_FN_UNINITIALIZE, HALVANE_FN_VOLUME_MUTE,
        HALVANE_FN_FORCE_MONO, HALVANE_FN_SET_FREQUENCY, HALVANE_FN_GET_FREQUENCY,
        HALVANE_FN_SEARCH, HALVANE_FN_RDS_STOP, HALVANE_FN_RDS_START, HALVANE_FN_GET_STATE,
        HALVANE_FN_DECODER_STATE, HALVANE_FN_EVAL_DATA, "HalvaneSimUseManualClock",
        "HalvaneSimAdvanceClock", "HalvaneSimReset"}) {
    EXPECT_NE(dlsym(handle, name), nullptr) << name;
  }
  // Internals stay hidden.
  EXPECT_EQ(dlsym(handle, "_ZN7halvane6driver3rds11DecodeBlockEjNS1_6OffsetE"), nullptr);
  EXPECT_EQ(dlsym(handle, "_ZN7halvane6driver4band10LoadBandEv"), nullptr);
}

// The plug-in loads the library for every call; every load must see the same tuner.
TEST(SharedLibrary, RepeatedLoadsShareOneTuner) {
  const std::string band = ::testing::TempDir() + "halvane-band-" + std::to_string(getpid());
  std::ofstream(band) << "[station]\nfrequency = 97.1 MHz\npi = 4B2A\nps = \"ROCK 97 \"\n";
  setenv("HALVANE_STATIONS", band.c_str(), 1);
  void* first = Open();
  void* second = Open();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  Find<void()>(first, "HalvaneSimReset")();
  Find<int32_t(int32_t)>(first, "HalvaneSimUseManualClock")(1);
  ASSERT_EQ(Find<int32_t()>(first, HALVANE_FN_INITIALIZE)(), 0);
  Find<int32_t(int32_t, int32_t)>(first, HALVANE_FN_SET_FREQUENCY)(0, 97'100'000);
  Find<int32_t(int32_t)>(first, HALVANE_FN_RDS_START)(0);
  Find<int32_t(int32_t)>(second, "HalvaneSimAdvanceClock")(2000);

  int32_t hz = 0;
  EXPECT_EQ(Find<int32_t(int32_t, int32_t*)>(second, HALVANE_FN_GET_FREQUENCY)(0, &hz), 0);
  EXPECT_EQ(hz, 97'100'000);
  RdsRecord record{};
  EXPECT_EQ(Find<int32_t(int32_t, RdsRecord*)>(second, HALVANE_FN_EVAL_DATA)(0, &record), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.ps), 8), "ROCK 97 ");
  Find<void()>(second, "HalvaneSimReset")();
  std::remove(band.c_str());
}

}  // namespace
