// Confirmation before display: a field received over a noisy channel is shown only when it came
// twice alike in a row, or once from blocks that arrived intact (no correction needed). A
// corrected block is right most of the time, but a wrong character on the screen is worse than
// one that comes a group later.
#ifndef HALVANE_DRIVER_RDS_CONFIRMATION_H
#define HALVANE_DRIVER_RDS_CONFIRMATION_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace halvane::driver::rds {

template <typename T>
class Confirmed {
 public:
  // Takes a value as received; `intact` when every block it came in needed no correction.
  // Returns true when the value is shown from now on (confirmed now, or already shown).
  bool Offer(const T& value, bool intact) {
    const bool alike = last_ && *last_ == value;
    last_ = value;
    if (intact || alike) shown_ = value;
    return shown_ && *shown_ == value;
  }

  // Forgets the value received last, so the next one needs its own confirmation; what is shown
  // stays.
  void ForgetReceived() { last_.reset(); }
  void Reset() { *this = Confirmed(); }

  const std::optional<T>& shown() const { return shown_; }

 private:
  std::optional<T> last_;
  std::optional<T> shown_;
};

// A text sent two characters (one block) at a time: each pair is confirmed on its own and
// written into `text` when it is. Positions never confirmed keep what `text` held.
template <size_t Length>
class ConfirmedText {
 public:
  static_assert(Length % 2 == 0);
  static constexpr size_t kPairs = Length / 2;

  // The block `word` received for characters 2*pair and 2*pair+1.
  void Offer(size_t pair, uint16_t word, bool intact, std::array<uint8_t, Length>& text) {
    if (pair >= kPairs) return;
    if (!pairs_[pair].Offer(word, intact)) return;
    text[2 * pair] = static_cast<uint8_t>(word >> 8);
    text[2 * pair + 1] = static_cast<uint8_t>(word & 0xFF);
  }

  void Reset() { pairs_ = {}; }
  // True once the characters of `pair` were confirmed.
  bool Shown(size_t pair) const { return pair < kPairs && pairs_[pair].shown().has_value(); }

 private:
  std::array<Confirmed<uint16_t>, kPairs> pairs_{};
};

}  // namespace halvane::driver::rds

#endif
