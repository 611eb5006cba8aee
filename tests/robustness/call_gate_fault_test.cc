// The driver path the plug-in builds when the host can't tell its folder is empty. Loading ""
// hands back the program itself, whose functions must not be taken for the driver's: this test
// program exports a radioInitialize of its own to show that none is called.
#include <unistd.h>

#include <cstdlib>

#include "robustness_fixture.h"
#include "tuner/call_driver.h"

namespace {
int programInitializeCalls = 0;
}

extern "C" __attribute__((visibility("default"))) int32_t radioInitialize(void) {
  ++programInitializeCalls;
  return 0;
}

namespace {

using namespace halvane;

class EmptyDriverPath : public robustness::RobustnessTest {};

TEST_F(EmptyDriverPath, CallsNothingAndAnswersMinusOne) {
  programInitializeCalls = 0;
  EXPECT_EQ(CallDriver("", HALVANE_FN_INITIALIZE, {}), kDriverCallFailed);
  EXPECT_EQ(programInitializeCalls, 0);
}

TEST_F(EmptyDriverPath, AStartWithoutTheHostFolderFailsAtInitialize) {
  programInitializeCalls = 0;
  sdk_->failingVars.insert("=$DMPath$");
  Start();
  EXPECT_EQ(programInitializeCalls, 0);
  EXPECT_FALSE(component_->radio().radioReady());
  EXPECT_EQ(sdk_->log.back(), "Halvane---> Initialize failed return code:-1");
  EXPECT_FALSE(radio_->Check());
}

TEST_F(EmptyDriverPath, AFolderWithoutTheLibraryFailsTheSameWay) {
  sdk_->Var("DMPath", Variant(dir_->path() + "/"));
  Start();
  EXPECT_FALSE(component_->radio().radioReady());
  EXPECT_EQ(sdk_->log.back(), "Halvane---> Initialize failed return code:-1");
  robustness::Report("faults",
                     "driver library missing, or no host folder (empty driver path) | start fails "
                     "with code -1, nothing of the program itself is called");
}

// A host folder left empty makes the driver path relative; the loader would resolve it from the
// process's current folder, which here holds a driver.
TEST_F(EmptyDriverPath, ARelativeDriverPathIsAMissingLibrary) {
  const std::string home = testing_support::RecordingDriverHome();
  EXPECT_EQ(CallDriver(home + "/RadioModules/Halvane/Radio_IO.so", HALVANE_FN_INITIALIZE, {}), 0);
  driver_->calls.clear();
  char* before = ::getcwd(nullptr, 0);
  ASSERT_EQ(::chdir(home.c_str()), 0);
  EXPECT_EQ(CallDriver("RadioModules/Halvane/Radio_IO.so", HALVANE_FN_INITIALIZE, {}),
            kDriverCallFailed);
  sdk_->Var("DMPath", Variant(""));
  Start();
  EXPECT_EQ(::chdir(before), 0);
  std::free(before);
  EXPECT_FALSE(component_->radio().radioReady());
  EXPECT_TRUE(Trace().empty());
}

}  // namespace
