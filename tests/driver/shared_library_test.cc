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
        HALVANE_FN_DECODER_STATE, HALVANE_FN_EVAL_DATA, "radioLastReason", "radioSetVolume",
        "radioGetVolume", "RDS_ExtendedData", "HalvaneSimUseManualClock", "HalvaneSimAdvanceClock",
        "HalvaneSimReset"}) {
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

// A host that asks why radioInitialize failed gets the file, line and reason, cut safely.
TEST(SharedLibrary, LastReasonNamesTheBandFilesFault) {
  const std::string band = ::testing::TempDir() + "halvane-bad-band-" + std::to_string(getpid());
  std::ofstream(band) << "[station]\nfrequency = 97.1 MHz\nl\xC3\xA9vl = 3\n";
  setenv("HALVANE_STATIONS", band.c_str(), 1);
  void* handle = Open();
  ASSERT_NE(handle, nullptr);
  auto reason = Find<int32_t(char*, int32_t)>(handle, "radioLastReason");
  Find<void()>(handle, "HalvaneSimReset")();
  EXPECT_EQ(Find<int32_t()>(handle, HALVANE_FN_INITIALIZE)(), 102);
  const int32_t length = reason(nullptr, 0);
  std::string text(length, '\0');
  ASSERT_EQ(reason(text.data(), length + 1), length);
  EXPECT_EQ(text.find(band + ":3:"), 0u) << text;
  const size_t accent = text.find("\xC3\xA9");
  ASSERT_NE(accent, std::string::npos) << text;
  // Room for one byte of the two-byte character: the cut falls before it.
  std::string cut(accent + 2, 'x');
  EXPECT_EQ(reason(cut.data(), static_cast<int32_t>(accent + 2)), length);
  EXPECT_EQ(std::string(cut.c_str()), text.substr(0, accent));

  std::ofstream(band) << "[station]\nfrequency = 97.1 MHz\n";
  Find<void()>(handle, "HalvaneSimReset")();
  EXPECT_EQ(Find<int32_t()>(handle, HALVANE_FN_INITIALIZE)(), 0);
  EXPECT_EQ(reason(nullptr, 0), 0);
  unsetenv("HALVANE_STATIONS");
  Find<void()>(handle, "HalvaneSimReset")();
  std::remove(band.c_str());
}

// The optional volume: 0 to 100 percent (beyond taken as the nearer end), kept while the tuner is
// stopped and started again.
TEST(SharedLibrary, VolumeIsKeptInPercent) {
  void* handle = Open();
  ASSERT_NE(handle, nullptr);
  auto set = Find<int32_t(int32_t, int32_t)>(handle, "radioSetVolume");
  auto get = Find<int32_t(int32_t, int32_t*)>(handle, "radioGetVolume");
  Find<void()>(handle, "HalvaneSimReset")();
  int32_t percent = -1;
  ASSERT_EQ(get(0, &percent), 0);
  EXPECT_EQ(percent, 100);
  const std::pair<int32_t, int32_t> cases[] = {{40, 40}, {150, 100}, {-5, 0}, {0, 0}, {65, 65}};
  for (const auto& [asked, kept] : cases) {
    EXPECT_EQ(set(0, asked), 0) << asked;
    ASSERT_EQ(get(0, &percent), 0);
    EXPECT_EQ(percent, kept) << asked;
  }
  ASSERT_EQ(Find<int32_t()>(handle, HALVANE_FN_INITIALIZE)(), 0);
  Find<int32_t()>(handle, HALVANE_FN_UNINITIALIZE)();
  ASSERT_EQ(Find<int32_t()>(handle, HALVANE_FN_INITIALIZE)(), 0);
  ASSERT_EQ(get(0, &percent), 0);
  EXPECT_EQ(percent, 65);
  EXPECT_EQ(get(0, nullptr), 2);
  Find<void()>(handle, "HalvaneSimReset")();
}
