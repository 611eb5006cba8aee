#include "sim/reception.h"

#include "rds/block_decoder.h"
#include "rds/checkword.h"
#include "rds/group_encoder.h"
#include "sim/prng.h"
#include "sim/programme_schedule.h"

namespace halvane::driver::sim {
namespace {

constexpr int kBlockBits = 26;
constexpr uint64_t kMaxRedraws = 32;
// Six bits in the information word: never a correctable syndrome.
constexpr uint32_t kDetectedBurst = 0x3Fu << 10;

rds::AirGroup ReplayCapture(const band::Station& station, uint64_t n) {
  const band::CapturedGroup& recorded = station.capture[n % station.capture.size()];
  const bool versionB = recorded[1] && rds::IsVersionB(*recorded[1]);
  const rds::Offset offsets[] = {rds::Offset::A, rds::Offset::B,
                                 versionB ? rds::Offset::CPrime : rds::Offset::C, rds::Offset::D};
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
  const uint32_t innerMask = (uint32_t{1} << length) - 1;
  const auto burstFrom = [&](uint64_t bits) {
    return ((static_cast<uint32_t>(bits) & innerMask) | 1 | (uint32_t{1} << (length - 1)))
           << position;
  };
  uint32_t burst = burstFrom(random >> 32);
  if (length <= rds::kMaxCorrectableBurst) return burst;
  // A long burst the decoder would mistake for a short one is drawn again. About two thirds are
  // detected, so a few draws suffice; the fallback is a burst known to be detected.
  for (uint64_t draw = 1; rds::BurstForSyndrome(rds::Remainder(burst, kBlockBits)) != 0; ++draw) {
    if (draw > kMaxRedraws) return kDetectedBurst;
    burst = burstFrom(RandomFor(seed ^ draw, n, static_cast<uint64_t>(block)) >> 32);
  }
  return burst;
}

rds::AirGroup ReceiveGroup(const band::Station& station, uint64_t n, int level, int64_t offsetMs) {
  rds::AirGroup air;
  if (station.programme) {
    const rds::Group group = ProgrammeGroup(*station.programme, station.stereo, n, offsetMs);
    const auto blocks = rds::EncodeBlocks(group);
    for (int i = 0; i < rds::kBlocksPerGroup; ++i) air[i] = blocks[i];
  } else if (!station.capture.empty()) {
    air = ReplayCapture(station, n);
  } else {
    return air;
  }
  const uint64_t seed = static_cast<uint64_t>(station.frequency);
  for (int i = 0; i < rds::kBlocksPerGroup; ++i) {
    if (air[i]) *air[i] ^= ReceptionError(level, seed, n, i);
  }
  return air;
}

}  // namespace halvane::driver::sim
