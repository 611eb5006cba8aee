#include "sim/reception.h"

#include "rds/checkword.h"
#include "rds/group_encoder.h"
#include "sim/prng.h"
#include "sim/programme_schedule.h"

namespace halvane::driver::sim {
namespace {

constexpr int kBlockBits = 26;

rds::AirGroup ReplayCapture(const band::Station& station, uint64_t n) {
  const band::CapturedGroup& recorded = station.capture[n % station.capture.size()];
  const bool version_b = recorded[1] && rds::IsVersionB(*recorded[1]);
  const rds::Offset offsets[] = {rds::Offset::A, rds::Offset::B,
                                 version_b ? rds::Offset::CPrime : rds::Offset::C, rds::Offset::D};
  rds::AirGroup air;
  for (int i = 0; i < rds::kBlocksPerGroup; ++i) {
    if (recorded[i]) air[i] = rds::EncodeBlock(*recorded[i], offsets[i]);
  }
  return air;
}

}  // namespace

uint32_t ReceptionError(int level, uint64_t seed, uint64_t n, int block) {
  const uint64_t random = RandomFor(seed, n, static_cast<uint64_t>(block));
  if (static_cast<int>(random % 100) >= level * kBlockErrorPercentPerLevel) return 0;
  const int length = 1 + static_cast<int>((random >> 8) % kMaxErrorBurst);
  const int position = static_cast<int>((random >> 16) % (kBlockBits - length + 1));
  // First and last bit of the burst set, the ones between random.
  const uint32_t span_mask = (uint32_t{1} << length) - 1;
  const uint32_t burst =
      (static_cast<uint32_t>(random >> 32) & span_mask) | 1 | (uint32_t{1} << (length - 1));
  return burst << position;
}

rds::AirGroup ReceiveGroup(const band::Station& station, uint64_t n) {
  rds::AirGroup air;
  if (station.programme) {
    const rds::Group group = ProgrammeGroup(*station.programme, station.stereo, n);
    const auto blocks = rds::EncodeBlocks(group);
    for (int i = 0; i < rds::kBlocksPerGroup; ++i) air[i] = blocks[i];
  } else if (!station.capture.empty()) {
    air = ReplayCapture(station, n);
  } else {
    return air;
  }
  const uint64_t seed = static_cast<uint64_t>(station.frequency);
  for (int i = 0; i < rds::kBlocksPerGroup; ++i) {
    if (air[i]) *air[i] ^= ReceptionError(station.level, seed, n, i);
  }
  return air;
}

}  // namespace halvane::driver::sim
