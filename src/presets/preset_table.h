// The presets as one block of text: each preset is its frequency text, a comma and its name, side
// by side somewhere in the block, with the frequency's leading number beside it. A list file
// loads by taking its bytes as they are, since each plain ASCII line already has that shape; an
// edit writes the preset's new line, with CR LF, at the block's end. Slot 0 holds no preset.
#ifndef HALVANE_PRESETS_PRESET_TABLE_H
#define HALVANE_PRESETS_PRESET_TABLE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halvane {

class PresetTable {
 public:
  // Slots, slot 0 included; 0 before the first Reset.
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  std::string_view Freq(size_t i) const { return Text(i, entries_[i].freqLength); }
  std::string_view Name(size_t i) const {
    const Entry& e = entries_[i];
    return {text_.data() + e.offset + e.freqLength + 1, e.nameLength};
  }
  double Value(size_t i) const { return values_[i]; }
  // Preset i as one list-file line without its end: "<frequency text>,<name>".
  std::string_view Line(size_t i) const { return Text(i, LineLength(entries_[i])); }
  // Where Line(i) stands in Block(), and whether CR LF follows it there: runs of such lines that
  // follow each other are written to a list file as they stand.
  size_t LineOffset(size_t i) const { return entries_[i].offset; }
  size_t LineLength(size_t i) const { return LineLength(entries_[i]); }
  bool EndedByCrLf(size_t i) const { return entries_[i].endedByCrLf; }
  std::string_view Block() const { return text_; }

  // Slot 0 alone, with no text. Keeps the memory for the next load.
  void Reset();

  // Adds a preset after the last; its value is the frequency's leading number. Raises 6 when a
  // field is 2 GiB or longer. The texts must not be views of Block().
  void Append(std::string_view freq, std::string_view name);
  // Edits of presets 1..size()-1; error 9 for any other slot.
  void SetName(size_t i, std::string_view name);
  void Erase(size_t i);
  void Swap(size_t a, size_t b);

  // Loading: the table (just reset) takes `text` as its block, and presets are then added as
  // places in it. The caller vouches that the byte after the frequency text is a comma, and
  // for `endedByCrLf` that CR LF follows the name.
  void Adopt(std::string text);
  void AppendInBlock(size_t offset, size_t freqLength, size_t nameLength, double value,
                     bool endedByCrLf) {
    const Entry e{offset, FieldLength(freqLength), FieldLength(nameLength), endedByCrLf};
    MakeRoom();
    entries_.push_back(e);
    values_.push_back(value);
    used_ += TextLength(e);
  }
  // Ends a load: what of the text no preset uses (the header, lines that are no preset, lines
  // past the last preset kept) is dropped when it outweighs what they use.
  void FinishLoad();

 private:
  struct Entry {
    size_t offset;  // of the frequency text; the comma and the name follow it
    uint32_t freqLength;
    uint32_t nameLength : 31;
    uint32_t endedByCrLf : 1;
  };
  void CheckPreset(size_t i) const;
  // A field's length as an entry holds it; error 6 from 2 GiB on.
  static uint32_t FieldLength(size_t length) {
    if (length > kLongestField) FieldTooLong();
    return static_cast<uint32_t>(length);
  }
  [[noreturn]] static void FieldTooLong();
  static constexpr size_t kLongestField = (size_t{1} << 31) - 1;
  static size_t LineLength(const Entry& e) { return size_t{e.freqLength} + 1 + e.nameLength; }
  // The text an entry takes: its line and the CR LF after it, when there is one.
  static size_t TextLength(const Entry& e) { return LineLength(e) + (e.endedByCrLf ? 2 : 0); }
  // Every entry lies inside text_, slot 0 (empty, at 0) included, so no bounds are checked.
  std::string_view Text(size_t i, size_t length) const {
    return {text_.data() + entries_[i].offset, length};
  }
  // Room for one more slot in both arrays, so that adding one can't leave them out of step.
  void MakeRoom() {
    if (entries_.size() == entries_.capacity() || values_.size() == values_.capacity()) Grow();
  }
  void Grow();
  // Writes "<freq>,<name>" and CR LF at the block's end and returns its entry.
  Entry Place(std::string_view freq, std::string_view name);
  // Drops the text no preset uses any more once it outweighs the text in use.
  void CompactWhenWasteful();

  std::string text_;
  // Slot for slot: where each preset stands in text_, and its frequency's leading number (apart,
  // so that a search through the numbers reads nothing else).
  std::vector<Entry> entries_;
  std::vector<double> values_;
  size_t used_ = 0;  // bytes of text_ that the presets take (TextLength)
};

}  // namespace halvane

#endif
