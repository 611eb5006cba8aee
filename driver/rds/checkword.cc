#include "rds/checkword.h"

namespace halvane::driver::rds {

std::optional<Offset> DetectOffset(uint32_t block) {
  const uint16_t syndrome = Syndrome(block);
  for (Offset offset : {Offset::A, Offset::B, Offset::C, Offset::CPrime, Offset::D}) {
    if (syndrome == OffsetWord(offset)) return offset;
  }
  return std::nullopt;
}

}  // namespace halvane::driver::rds
