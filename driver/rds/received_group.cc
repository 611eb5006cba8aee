#include "rds/received_group.h"

namespace halvane::driver::rds {

int ReceivedGroup::UnusableCount() const {
  int count = 0;
  for (bool ok : usable) count += ok ? 0 : 1;
  return count;
}

ReceivedGroup DecodeAirGroup(const AirGroup& air, int maxBurst) {
  ReceivedGroup group;
  const auto decode = [&](int index, Offset offset) {
    if (!air[index]) return;
    const DecodedBlock block = DecodeBlock(*air[index], offset, maxBurst);
    group.blocks[index] = block.info;
    group.usable[index] = block.usable();
    group.corrected[index] = block.status == BlockStatus::Corrected;
  };
  decode(0, Offset::A);
  decode(1, Offset::B);
  decode(3, Offset::D);
  if (group.usable[1]) {
    decode(2, IsVersionB(group.blocks[1]) ? Offset::CPrime : Offset::C);
  } else if (air[2]) {
    // Without block B the version is unknown; correcting towards the wrong offset would invent
    // data, so only an undamaged block is taken.
    const std::optional<Offset> offset = DetectOffset(*air[2]);
    if (offset == Offset::C || offset == Offset::CPrime) {
      group.blocks[2] = static_cast<uint16_t>((*air[2] >> 10) & 0xFFFF);
      group.usable[2] = true;
    }
  }
  return group;
}

}  // namespace halvane::driver::rds
