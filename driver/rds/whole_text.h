// A text sent a few bytes at a time (a unit: the name's character pair, RadioText's block, the
// long name's four bytes) and shown only whole. Each unit is confirmed on its own (`Confirmed`:
// twice alike, or once from blocks that needed no correction); the message is whole once every
// unit up to its end has been confirmed since the text last changed, or has come in order from
// the first unit since then. A listener never sees half a name, nor a name made of two: a
// station that scrolls its name changes units, and the new name shows once a whole pass of it
// has come. The last whole message stays until a whole new one replaces it.
#ifndef HALVANE_DRIVER_RDS_WHOLE_TEXT_H
#define HALVANE_DRIVER_RDS_WHOLE_TEXT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "rds/confirmation.h"

namespace halvane::driver::rds {

enum class TextEnd : uint8_t {
  None,                 // every unit is part of the text (the programme service name)
  CarriageReturn,       // RadioText: 0x0D ends the message
  CarriageReturnOrNul,  // the long name and the programme type name
};

class WholeText {
 public:
  // `units` of `width` bytes each (at most 32 units, at most 4 bytes).
  WholeText(size_t units, size_t width, TextEnd end);

  // The bytes received for `unit`; `intact` when every block they came in needed no correction.
  // Returns true when the unit holds these bytes from now on.
  bool Offer(size_t unit, std::span<const uint8_t> bytes, bool intact);
  // Takes the two bytes of a block as one unit of width 2.
  bool OfferWord(size_t unit, uint16_t word, bool intact);

  // The message can take at most `units` units (RadioText in version B groups: 16).
  void SetLimit(size_t units) { limit_ = units < units_.size() ? units : units_.size(); }
  // A new message comes: what was assembled is forgotten; the last whole one stays shown.
  void StartOver();
  // Takes over what `next` assembled (the start of a new message), keeping the whole one shown.
  void TakeOver(const WholeText& next);
  // Forgets everything, the whole message too.
  void Clear();

  // True while the message being received is whole (it is then the one `whole` holds).
  bool CurrentWhole() const;
  // The last whole message, all units long; bytes after its end mark are blanks.
  const std::optional<std::vector<uint8_t>>& whole() const { return whole_; }
  // The last whole message up to its end mark (excluded).
  std::optional<std::vector<uint8_t>> Text() const;

 private:
  bool IsEnd(uint8_t byte) const;
  void Publish();

  size_t width_;
  TextEnd end_;
  size_t limit_;
  std::vector<Confirmed<uint32_t>> units_;
  std::vector<uint8_t> working_;  // the confirmed bytes of every unit, blanks where none came
  uint32_t fresh_ = 0;            // units confirmed since the text last changed, a bit each
  size_t inOrder_ = 0;            // units 0 .. inOrder_ - 1 came in order since then
  std::optional<std::vector<uint8_t>> whole_;
};

}  // namespace halvane::driver::rds

#endif
