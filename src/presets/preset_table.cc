#include "presets/preset_table.h"

#include <algorithm>
#include <new>
#include <utility>

#include "halvane/errors.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {

constexpr char kFieldSeparator = ',';
constexpr std::string_view kLineEnd = "\r\n";
// Below this much text, leftovers of edits are not worth a rewrite.
constexpr size_t kCompactionFloor = 64 * 1024;

}  // namespace

void PresetTable::FieldTooLong() { Raise(kOverflow, "preset text too long"); }

void PresetTable::CheckPreset(size_t i) const {
  if (i < 1 || i >= entries_.size()) Raise(kSubscriptRange, "preset " + std::to_string(i));
}

void PresetTable::Reset() {
  text_.clear();
  entries_.assign(1, Entry{0, 0, 0, 0});
  values_.assign(1, 0.0);
  used_ = 0;
}

void PresetTable::Grow() {
  const size_t slots = std::max<size_t>(16, entries_.size() * 2);
  entries_.reserve(slots);
  values_.reserve(slots);
}

PresetTable::Entry PresetTable::Place(std::string_view freq, std::string_view name) {
  Entry e{text_.size(), FieldLength(freq.size()), FieldLength(name.size()), 1};
  text_.reserve(text_.size() + LineLength(e) + kLineEnd.size());
  text_.append(freq).push_back(kFieldSeparator);
  text_.append(name).append(kLineEnd);
  used_ += TextLength(e);
  return e;
}

void PresetTable::Append(std::string_view freq, std::string_view name) {
  const double value = LeadingNumber(freq);
  MakeRoom();  // the slot first: nothing is written when it can't be had
  entries_.push_back(Place(freq, name));
  values_.push_back(value);
}

void PresetTable::SetName(size_t i, std::string_view name) {
  CheckPreset(i);
  Entry& e = entries_[i];
  // The frequency text is written again beside the new name: a preset's line stays in one piece.
  const std::string freq(Freq(i));
  const size_t old = TextLength(e);
  e = Place(freq, name);
  used_ -= old;
  CompactWhenWasteful();
}

void PresetTable::Erase(size_t i) {
  CheckPreset(i);
  used_ -= TextLength(entries_[i]);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(i));
  CompactWhenWasteful();
}

void PresetTable::Swap(size_t a, size_t b) {
  CheckPreset(a);
  CheckPreset(b);
  std::swap(entries_[a], entries_[b]);
  std::swap(values_[a], values_[b]);
}

void PresetTable::Adopt(std::string text) { text_ = std::move(text); }

void PresetTable::FinishLoad() { CompactWhenWasteful(); }

void PresetTable::CompactWhenWasteful() {
  const size_t unused = text_.size() > used_ ? text_.size() - used_ : 0;
  if (unused < kCompactionFloor || unused < text_.size() / 2) return;
  std::string text;
  size_t used = 0;
  for (size_t i = 1; i < entries_.size(); ++i) used += LineLength(entries_[i]) + kLineEnd.size();
  try {
    text.reserve(used);
  } catch (const std::bad_alloc&) {
    return;  // the text stays as it is, leftovers and all
  }
  for (size_t i = 1; i < entries_.size(); ++i) {
    Entry& e = entries_[i];
    const size_t at = text.size();
    text.append(Line(i)).append(kLineEnd);
    e.offset = at;
    e.endedByCrLf = 1;
  }
  text_ = std::move(text);
  entries_[0].offset = 0;
  used_ = text_.size();
}

}  // namespace halvane
