// Confirms a value that comes over the air by itself: a value is taken once two receptions in
// a row bring it alike, so one damaged group that slipped through the block code never shows.
#ifndef HALVANE_DRIVER_RDS_TWICE_ALIKE_H
#define HALVANE_DRIVER_RDS_TWICE_ALIKE_H

#include <optional>

namespace halvane::driver::rds {

template <class T>
class TwiceAlike {
 public:
  // Offers one reception; true when it confirmed the value (now or already before).
  bool Offer(const T& value) {
    if (pending_ && *pending_ == value) {
      confirmed_ = value;
    }
    pending_ = value;
    return confirmed_ && *confirmed_ == value;
  }
  void Clear() {
    pending_.reset();
    confirmed_.reset();
  }
  const std::optional<T>& confirmed() const { return confirmed_; }

 private:
  std::optional<T> pending_;
  std::optional<T> confirmed_;
};

}  // namespace halvane::driver::rds

#endif
