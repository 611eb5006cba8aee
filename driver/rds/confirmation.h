// Confirmation before display: a field received over a noisy channel is shown only when it came
// twice alike in a row, or once from blocks that arrived intact (no correction needed). A
// corrected block is right most of the time, but a wrong character on the screen is worse than
// one that comes a group later.
#ifndef HALVANE_DRIVER_RDS_CONFIRMATION_H
#define HALVANE_DRIVER_RDS_CONFIRMATION_H

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

}  // namespace halvane::driver::rds

#endif
