// Alternative frequencies as 0A groups carry them in block C: two 8-bit codes a group, lists
// sent by method A (one list for the whole network) or method B (one list per transmitter,
// each pair naming the transmitter's own frequency beside an alternative).
#ifndef HALVANE_DRIVER_RDS_AF_CODES_H
#define HALVANE_DRIVER_RDS_AF_CODES_H

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "rds/confirmation.h"

namespace halvane::driver::rds {

// Code values other than frequencies.
inline constexpr uint8_t kAfFiller = 205;
inline constexpr uint8_t kAfCountBase = 224;  // 224 + n: a list of n frequencies follows
inline constexpr uint8_t kAfMaxCount = 25;
inline constexpr uint8_t kAfLfMfFollows = 250;

// The frequency of an AF code in the driver's values (FM hertz, AM kilohertz x 10000): codes
// 1..204 are 87.6..107.9 MHz; after the LF/MF code, 1..15 are 153..279 kHz and 16..135 are
// 531..1602 kHz. Any other code is no frequency.
std::optional<int32_t> AfFrequency(uint8_t code, bool lfMf);

struct AfEntry {
  int32_t frequency = 0;
  bool regional = false;  // method B: carries a regional variant of the programme

  bool operator==(const AfEntry&) const = default;
};

struct AfList {
  bool methodB = false;
  int32_t tuned = 0;  // method B: the transmitter the list belongs to
  std::vector<AfEntry> entries;

  bool operator==(const AfList&) const = default;
};

// Assembles the lists pair by pair. A list counts once it came complete, without a lost pair,
// twice alike, or once from blocks that all arrived intact; a lost block C breaks the list being
// received until its next count code.
class AfListDecoder {
 public:
  // `pair` is block C of a 0A group (or of a 14A group of variant 4); `usable` false when that
  // block was lost, `intact` when it and block B needed no correction.
  void Feed(uint16_t pair, bool usable, bool intact);
  void Clear();

  // The confirmed list for `tunedFrequency`: its own method B list, or the method A list.
  std::optional<AfList> ListFor(int32_t tunedFrequency) const;
  // Every confirmed list, method B lists keyed by their transmitter (method A: key 0).
  const std::map<int32_t, AfList>& lists() const { return lists_; }

 private:
  void Add(uint8_t code);
  void Finish();

  struct Partial {
    int expected = 0;
    bool lfMf = false;
    bool intact = true;          // every pair of this round arrived without correction
    std::vector<int32_t> codes;  // frequencies in order, as sent
    std::vector<std::pair<int32_t, int32_t>> pairs;
  };
  std::optional<Partial> partial_;
  std::map<int32_t, Confirmed<AfList>> candidates_;
  std::map<int32_t, AfList> lists_;
};

}  // namespace halvane::driver::rds

#endif
