// Drives the simulated driver through its C exports, as the plug-in does, on the manual clock
// and with a band file of the test's own.
#ifndef HALVANE_TESTS_DRIVER_SIM_DRIVER_FIXTURE_H
#define HALVANE_TESTS_DRIVER_SIM_DRIVER_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "halvane/driver_contract.h"

namespace halvane::driver::testing_support {

// The band most tests run on: FM 87.5, 90.0 (strong, two RadioTexts), 92.0 (no RDS, mono),
// 95.0 (weak), 100.0 (TA toggling every second), 104.0 (version B groups), 107.9; AM 600 and
// 1040 kHz.
extern const char* const kTestBand;

class SimDriverTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file into the test's own folder and returns its path.
  std::string WriteFile(const std::string& name, const std::string& text);
  // Makes `text` the band read at the next radioInitialize.
  void UseBand(const std::string& text);

  // radioInitialize, expected to succeed, then VolumeMute 1, as the plug-in starts.
  void StartRadio();
  // The plug-in's tune: RDS_Stop, radioSetFrequency, RDS_Start.
  void Tune(int32_t hz);
  void Advance(int32_t ms);

  int32_t Frequency();
  uint8_t StateFlags();
  uint32_t DecoderState();
  // RDS_EvalData's result, with the record it wrote.
  int32_t EvalData(RdsRecord& record);
  // The record, when RDS_EvalData succeeds.
  std::optional<RdsRecord> Record();

  static std::string Ps(const RdsRecord& record);
  static std::string Rt(const RdsRecord& record);

  std::string folder_;
};

}  // namespace halvane::driver::testing_support

#endif
