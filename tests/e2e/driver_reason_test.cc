#include "driver_reason.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "halvane/driver_contract.h"
#include "host_process.h"

namespace host {
namespace {

// The simulated tuner fails to start on a band file with a typo; the host reads the file, line
// and key from the driver. A library without the export gives nothing; a missing one, the
// loader's words.
TEST(DriverReason, ReadsTheDriversWordsOrSaysWhyThereAreNone) {
  e2e::ScratchDir dir;
  const std::string band = dir.path() + "/stations.ini";
  std::ofstream(band) << "[station]\nfrequency = 87.5 MHz\nlevl = 3\n";
  ::setenv("HALVANE_STATIONS", band.c_str(), 1);
  void* driver = ::dlopen(HALVANE_DRIVER_LIBRARY, RTLD_NOW);
  ASSERT_NE(driver, nullptr) << ::dlerror();
  reinterpret_cast<void (*)()>(::dlsym(driver, "HalvaneSimReset"))();
  auto initialize = reinterpret_cast<int32_t (*)()>(::dlsym(driver, HALVANE_FN_INITIALIZE));
  ASSERT_NE(initialize(), 0);
  const std::string reason = DriverReason(HALVANE_DRIVER_LIBRARY);
  EXPECT_NE(reason.find(band + ":3:"), std::string::npos) << reason;
  EXPECT_NE(reason.find("levl"), std::string::npos) << reason;

  ::unsetenv("HALVANE_STATIONS");
  reinterpret_cast<void (*)()>(::dlsym(driver, "HalvaneSimReset"))();
  ASSERT_EQ(initialize(), 0);
  EXPECT_EQ(DriverReason(HALVANE_DRIVER_LIBRARY), "");

  EXPECT_EQ(DriverReason(HALVANE_PLUGIN_LIBRARY), "");
  const std::string missing = DriverReason(dir.path() + "/none/Radio_IO.so");
  EXPECT_NE(missing.find(dir.path() + "/none/Radio_IO.so"), std::string::npos) << missing;
}

}  // namespace
}  // namespace host
