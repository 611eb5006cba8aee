// The simulated driver's RDS block decoder. For any 26-bit block and expected offset: a block it
// calls good is exactly the encoding of the word it returns; a block it repairs differs from that
// encoding by one burst of at most five bits. And for any word, offset and burst of at most five
// bits, the damaged block is repaired to the word it carried.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rds/block_decoder.h"
#include "rds/checkword.h"

namespace {

using namespace halvane::driver::rds;

constexpr uint32_t kBlockMask = 0x3FFFFFF;

[[noreturn]] void Fail(const char* what, uint32_t block, int offset) {
  std::fprintf(stderr, "broken property: %s (block %07X, offset %d)\n", what,
               static_cast<unsigned>(block), offset);
  std::abort();
}

// The span of the set bits, lowest to highest: a burst of length n spans n bits.
int PatternBurstLength(uint32_t pattern) {
  if (pattern == 0) return 0;
  return 32 - __builtin_clz(pattern) - __builtin_ctz(pattern);
}

}  // namespace

// Input: 4 bytes of block, 1 of offset, then (optional) 2 bytes of word and 2 of burst.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  uint32_t block;
  std::memcpy(&block, data, 4);
  const int offsetIndex = data[4] % 5;
  const auto offset = static_cast<Offset>(offsetIndex);

  const DecodedBlock decoded = DecodeBlock(block, offset);
  const uint32_t received = block & kBlockMask;
  if (decoded.status == BlockStatus::Ok && EncodeBlock(decoded.info, offset) != received)
    Fail("a block called good is not the encoding of its word", block, offsetIndex);
  if (decoded.status == BlockStatus::Corrected) {
    const uint32_t error = EncodeBlock(decoded.info, offset) ^ received;
    if (error == 0 || PatternBurstLength(error) > kMaxCorrectableBurst)
      Fail("a repair that is not a short burst", block, offsetIndex);
  }
  // The same block with its unused high bits changed decodes the same.
  const DecodedBlock high = DecodeBlock(received | ~kBlockMask, offset);
  if (high.status != decoded.status || (decoded.usable() && high.info != decoded.info))
    Fail("bits above the block changed its decoding", block, offsetIndex);

  if (size < 9) return 0;
  uint16_t word, burstBits;
  std::memcpy(&word, data + 5, 2);
  std::memcpy(&burstBits, data + 7, 2);
  // A burst: its first and last bits set, at most five bits long, anywhere in the block.
  const int length = 1 + (burstBits & 3) + ((burstBits >> 2) & 1);  // 1..5
  uint32_t burst = (1u << (length - 1)) | 1u | ((burstBits >> 3) & ((1u << length) - 1));
  burst &= (1u << length) - 1;
  const int shift = (burstBits >> 8) % (26 - length + 1);
  burst <<= shift;
  // Asked to repair up to five bits, it repairs every such burst; by default only the short ones
  // it can repair reliably, and a longer one is never taken for a good word.
  const DecodedBlock repaired =
      DecodeBlock(EncodeBlock(word, offset) ^ burst, offset, kMaxCorrectableBurst);
  if (repaired.status != BlockStatus::Corrected || repaired.info != word)
    Fail("a correctable burst was not repaired", EncodeBlock(word, offset) ^ burst, offsetIndex);
  const DecodedBlock cautious = DecodeBlock(EncodeBlock(word, offset) ^ burst, offset);
  if (length <= kReliableBurst ? cautious.status != BlockStatus::Corrected || cautious.info != word
                               : cautious.status == BlockStatus::Ok)
    Fail("the default repair is not what it promises", EncodeBlock(word, offset) ^ burst,
         offsetIndex);
  return 0;
}
