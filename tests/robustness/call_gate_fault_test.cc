// The driver path the plug-in builds when the host can't tell its folder is empty. Loading ""
// hands back the program itself, whose functions must not be taken for the driver's: this test
// program exports a radioInitialize of its own to show that none is called.
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
  sdk->failingVars.insert("=$DMPath$");
  Start();
  EXPECT_EQ(programInitializeCalls, 0);
  EXPECT_FALSE(component->radio.radioReady);
  EXPECT_EQ(sdk->log.back(), "Halvane---> Initialize failed return code:-1");
  EXPECT_FALSE(radio->Check());
}

TEST_F(EmptyDriverPath, AFolderWithoutTheLibraryFailsTheSameWay) {
  sdk->Var("DMPath", Variant(dir->path() + "/"));
  Start();
  EXPECT_FALSE(component->radio.radioReady);
  EXPECT_EQ(sdk->log.back(), "Halvane---> Initialize failed return code:-1");
  robustness::Report("faults",
                     "driver library missing, or no host folder (empty driver path) | start fails "
                     "with code -1, nothing of the program itself is called");
}

}  // namespace
