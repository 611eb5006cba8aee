#include <gtest/gtest.h>

#include "halvane/errors.h"
#include "plugin_fixture.h"

namespace {

using testing_support::PluginTest;
using Calls = std::vector<std::string>;

class RadioLifecycle : public PluginTest {};

TEST_F(RadioLifecycle, FirstStartMutesThenTunesToTheDefaultAndStaysInactive) {
  Start();
  EXPECT_EQ(Trace(), (Calls{"radioInitialize()", "VolumeMute(0,1)", "RDS_Stop(0)",
                            "radioSetFrequency(0,87500000)", "RDS_Start(0)"}));
  EXPECT_FALSE(radio->IsActive());
  EXPECT_EQ(radio->Freq(), 8750);
  EXPECT_TRUE(sdk->log.empty());
}

}  // namespace
