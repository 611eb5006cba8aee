// RDS block records as a V4L2 device returns them, made from groups.
#ifndef HALVANE_TESTS_DRIVER_V4L2_TEST_SUPPORT_H
#define HALVANE_TESTS_DRIVER_V4L2_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "driver_clock.h"
#include "fake_radio_device.h"
#include "rds/group.h"
#include "rds/raw_blocks.h"
#include "result_codes.h"
#include "v4l2/v4l2_tuner.h"

namespace halvane::driver::testing_support {

// The four blocks of `group` as records; `status` adds flags (corrected, error) per block.
inline std::vector<uint8_t> RecordsOf(const rds::Group& group,
                                      std::array<uint8_t, 4> status = {0, 0, 0, 0}) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 4; ++i) {
    uint8_t position = static_cast<uint8_t>(i);
    if (i == 2 && rds::IsVersionB(group[1])) position = rds::kRawPositionCPrime;
    rds::RawBlock block{group[i], position, (status[i] & rds::kRawCorrected) != 0,
                        (status[i] & rds::kRawError) != 0};
    // An errored block's information word is whatever the chip had: make it visibly wrong.
    if (block.error) block.info ^= 0xFFFF;
    const auto record = rds::WriteRawRecord(block);
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

// A V4L2 tuner on a fake device, on the manual clock.
class V4l2TunerFixture : public ::testing::Test {
 protected:
  template <class DeviceKind>
  void Make(DeviceKind kind) {
    auto device = std::make_unique<FakeRadioDevice>(kind);
    device_ = device.get();
    clock_.UseManual(true);
    tuner_ = std::make_unique<v4l2::V4l2Tuner>(std::move(device),
                                               v4l2::V4l2Options{"/dev/radio7", 10}, clock_);
  }
  void Start() { ASSERT_EQ(tuner_->Initialize(), kOk); }
  int32_t Frequency() {
    int32_t value = 0;
    EXPECT_EQ(tuner_->GetFrequency(value), kOk);
    return value;
  }
  uint8_t Flags() {
    uint8_t flags = 0;
    EXPECT_EQ(tuner_->GetState(flags), kOk);
    return flags;
  }

  DriverClock clock_;
  FakeRadioDevice* device_ = nullptr;  // owned by tuner_
  std::unique_ptr<v4l2::V4l2Tuner> tuner_;
};

}  // namespace halvane::driver::testing_support

#endif
