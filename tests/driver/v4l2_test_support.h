// RDS block records as a V4L2 device returns them, made from groups.
#ifndef HALVANE_TESTS_DRIVER_V4L2_TEST_SUPPORT_H
#define HALVANE_TESTS_DRIVER_V4L2_TEST_SUPPORT_H

#include <array>
#include <cstdint>
#include <vector>

#include "rds/group.h"
#include "rds/raw_blocks.h"

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

}  // namespace halvane::driver::testing_support

#endif
