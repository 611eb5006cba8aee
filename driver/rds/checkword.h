// The RDS block code: a (26,16) shortened cyclic code whose 10-bit checkword is the remainder of
// the information word times x^10 modulo g(x) = x^10 + x^8 + x^7 + x^5 + x^4 + x^3 + 1, with an
// offset word added so that a receiver can tell the four block positions of a group apart.
#ifndef HALVANE_DRIVER_RDS_CHECKWORD_H
#define HALVANE_DRIVER_RDS_CHECKWORD_H

#include <cstdint>
#include <optional>

namespace halvane::driver::rds {

// The generator polynomial with its x^10 term, as bits 10..0.
inline constexpr uint32_t kGenerator = 0x5B9;

// Offset words, added to the checkword. C' marks block 3 of a version B group.
enum class Offset : uint8_t { A, B, C, CPrime, D };

inline constexpr uint16_t kOffsetWord[] = {0x0FC, 0x198, 0x168, 0x350, 0x1B4};

constexpr uint16_t OffsetWord(Offset offset) { return kOffsetWord[static_cast<int>(offset)]; }

// The remainder modulo g(x) of the low `bits` bits of `value`, read as a polynomial.
constexpr uint16_t Remainder(uint32_t value, int bits) {
  for (int bit = bits - 1; bit >= 10; --bit) {
    if (value & (uint32_t{1} << bit)) value ^= kGenerator << (bit - 10);
  }
  return static_cast<uint16_t>(value & 0x3FF);
}

// The 10-bit checkword of `info` at the given block position (offset word already added).
constexpr uint16_t Checkword(uint16_t info, Offset offset) {
  return Remainder(uint32_t{info} << 10, 26) ^ OffsetWord(offset);
}

// The 26-bit block as sent: information word in bits 25..10, checkword in bits 9..0.
constexpr uint32_t EncodeBlock(uint16_t info, Offset offset) {
  return (uint32_t{info} << 10) | Checkword(info, offset);
}

// The syndrome of a received 26-bit block. An undamaged block's syndrome is its offset word,
// since the information part contributes a multiple of g(x).
constexpr uint16_t Syndrome(uint32_t block) { return Remainder(block & 0x3FFFFFF, 26); }

// The offset a received block carries, when its syndrome is exactly one of the offset words.
std::optional<Offset> DetectOffset(uint32_t block);

}  // namespace halvane::driver::rds

#endif
